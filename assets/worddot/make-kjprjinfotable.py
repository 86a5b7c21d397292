#!/usr/bin/env python3
"""Writes kjprjinfotable.doc, the information sheet's template: RTF content
under the .doc name, one table of labels and, beside each, an empty bookmark
named after the KJJHSB column (or code name) typed there.

Run from this folder after changing the rows: python3 make-kjprjinfotable.py
"""

# (label, bookmarks): a row's bookmarks are typed one after the other,
# joined by the texts between them; a None label starts a section.
ROWS = [
    (None, "项目概况"),
    ("项目编号：", ["KJJHSBID"]),
    ("项目名称：", ["XMMC"]),
    ("申报年度：", ["SBNF"]),
    ("计划类别：", ["STRJHLBDM"]),
    ("指南代码：", ["ZNDM"]),
    ("主管部门：", ["STRZGBMDM"]),
    ("技术领域：", ["JSLYDM"]),
    ("学科领域：", ["XKLYDM"]),
    ("起止时间：", ["KSSJN", "年", "KSSJY", "月 至 ", "JSSJN", "年", "JSSJY", "月"]),
    (None, "项目申报单位概况"),
    ("单位名称：", ["DWMC"]),
    ("单位地址：", ["STRDWSZSDM", " ", "STRDWSZXQDM"]),
    ("通讯地址：", ["DWDZ"]),
    ("邮政编码：", ["YZBM"]),
    ("网址：", ["HTTP"]),
    ("单位负责人：", ["DWFZR"]),
    ("职务职称：", ["DWFZRZWZC"]),
    ("单位负责人电话：", ["DWFZRLXDH"]),
    ("项目联系人：", ["XMLXRXM"]),
    ("E-mail：", ["LXRE_MAIL"]),
    ("联系人电话：", ["LXRDH"]),
    (None, "研究内容及预期成果"),
    ("主要研究内容及考核指标：", ["ZYYJNR"]),
    ("主题词：", ["ZTC1", " ", "ZTC2", " ", "ZTC3"]),
    ("申请发明专利数：", ["ZLSQFM"]),
    ("申请实用新型数：", ["ZLSQSYXX"]),
    ("申请外观设计数：", ["ZLSQWGSJ"]),
    ("授权发明专利数：", ["ZLSQFMS"]),
    ("授权实用新型数：", ["ZLSQSYXXS"]),
    ("授权外观设计数：", ["ZLSQWGSJS"]),
    ("软件著作权数：", ["RJZZQ"]),
    ("年新增产值（万元）：", ["YQNXZCZ"]),
    ("年新增利税（万元）：", ["YQNXZLS"]),
    ("年出口创汇（万美元）：", ["YQNCKCH"]),
    (None, "第一项目负责人信息"),
    ("姓名：", ["XMFZRXM1"]),
    ("性别：", ["XMFZRXB1"]),
    ("出生年：", ["XMFZRCSN1"]),
    ("学历：", ["XMFZRXL1"]),
    ("学位：", ["XMFZRXW1"]),
    ("职称：", ["XMFZRZC1"]),
    ("联系电话：", ["XMFZRLXDH1"]),
    (None, "第二项目负责人信息"),
    ("姓名：", ["XMFZRXM2"]),
    ("性别：", ["XMFZRXB2"]),
    ("出生年：", ["XMFZRCSN2"]),
    ("学历：", ["XMFZRXL2"]),
    ("学位：", ["XMFZRXW2"]),
    ("职称：", ["XMFZRZC2"]),
    ("联系电话：", ["XMFZRLXDH2"]),
    (None, "项目人员状况"),
    ("项目人员总数：", ["XMRYZS"]),
    ("35岁以下研发人员数：", ["YFRYS35SYX"]),
    ("高级 / 中级 / 初级 / 其它：", ["GJRS", " / ", "ZJRS", " / ", "CJRS", " / ", "QTRS"]),
    (None, "项目前期工作基础"),
    ("已投入研究人员数：", ["YTRYJRYS"]),
    ("已投入经费（万元）：", ["YTRJF"]),
    ("单位自筹 / 政府拨款 / 其它：", ["DWZCTR", " / ", "ZFBKTR", " / ", "QTTR"]),
    (None, "项目经费（万元）"),
    ("项目总投资：", ["XMZTZ"]),
    ("申请市拨款：", ["SQSBK"]),
    ("部门匹配：", ["BMPP"]),
    ("单位自筹：", ["DWZC"]),
    ("银行贷款：", ["YHDK"]),
    ("其它来源：", ["QTLY"]),
    (None, "项目参加单位状况"),
    ("国内参加单位：", ["CJDW1", "；", "CJDW2", "；", "CJDW3"]),
    ("境外合作单位：", ["JWHZDWMC"]),
    ("国家或地区：", ["GJHDQ"]),
    (None, "承担单位技术基础与效益情况"),
    ("职工总人数：", ["CDDWZGZRS"]),
    ("大专以上人员（人）：", ["CDDWKJRYS"]),
    ("从事研发科技人员数：", ["CDDWYFKJRYS"]),
    ("年研发经费（万元）：", ["NYFJF"]),
    ("拥有专利总数：", ["YYZLS"]),
    ("发明专利数：", ["FMZLS"]),
    ("拥有软件著作权数：", ["RJZZQS"]),
    ("年产值（万元）：", ["NCZ"]),
    ("年销售额（万元）：", ["NXSE"]),
    ("年创汇（万美元）：", ["NCH"]),
    ("年上缴税金（万元）：", ["NSJSJ"]),
    ("年利润（万元）：", ["NLR"]),
]


def text(s):
    """The same escaping the program types with: \\, { and } escaped, other
    characters beyond ASCII as \\uN? of their UTF-16 units."""
    out = []
    for ch in s:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif 0x20 <= ord(ch) < 0x7F:
            out.append(ch)
        else:
            data = ch.encode("utf-16-le")
            for i in range(0, len(data), 2):
                unit = int.from_bytes(data[i:i + 2], "little")
                out.append("\\u%d?" % (unit - 0x10000 if unit >= 0x8000 else unit))
    return "".join(out)


def is_bookmark(part):
    return part.isupper() and part.replace("_", "").isalnum() and part.isascii()


def main():
    lines = [
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1",
        "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}",
        "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134",
        "\\pard\\qc\\b\\fs32 " + text("科技计划项目信息表") + "\\b0\\par",
        "\\pard\\fs21",
    ]
    for label, content in ROWS:
        if label is None:
            lines.append("\\pard\\sb120\\b " + text(content) + "\\b0\\par")
            continue
        cells = []
        for part in content:
            if is_bookmark(part):
                cells.append("{\\*\\bkmkstart %s}{\\*\\bkmkend %s}" % (part, part))
            else:
                cells.append(text(part))
        lines.append("\\trowd\\trgaph108\\trleft0"
                     "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx3000"
                     "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx9638")
        lines.append("\\pard\\intbl " + text(label) + "\\cell " + "".join(cells) + "\\cell\\row")
    lines.append("\\pard\\par")
    lines.append("}")
    with open("kjprjinfotable.doc", "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
