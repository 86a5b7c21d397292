#!/usr/bin/env bash
# Writes the seeds of the two package targets: packages the program itself
# exports (docpackages, from a scratch program folder with one complete
# application and a document of each kind with its sub-table rows), their
# transfer files alone, and packages whose transfer file was changed the
# way hostile ones are (a NULL or text id, a view, a long title, a column
# gone, a row of no document).
#   make-seeds.sh DOCPACKAGES PROGRAM_DIR PROJECT_SEEDS DOCUMENT_SEEDS
set -euo pipefail
docpackages=$(realpath "${1:?usage: make-seeds.sh DOCPACKAGES PROGRAM_DIR PROJECT_SEEDS DOCUMENT_SEEDS}")
program=$(realpath "$2")
mkdir -p "$3" "$4"
projects=$(realpath "$3") documents=$(realpath "$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$program" "$work/program"
export CORVANTA_HOME="$work/home" QT_QPA_PLATFORM=offscreen

# One complete application with its task book and an attachment.
user=$work/program/user/seed
mkdir -p "$user/2026110001"
cp "$work/program/maindata.mdb" "$user/maindata.mdb"
columns=$(sqlite3 "$user/maindata.mdb" "select group_concat(name || '=''1''', ',') from pragma_table_info('KJJHSB') where name <> 'KJJHSBID'")
sqlite3 "$user/maindata.mdb" "insert into pass(username, passone) values('seed', 'seed');
  insert into KJJHSB(KJJHSBID) values(2026110001);
  update KJJHSB set $columns;
  update KJJHSB set SBNF='2026', ZNDM='', JHLBDM='01', JSLYDM='A01', XKLYDM='', XMMC='种子项目',
    RWSWJM='2026110001@科技项目设计书.doc'"
echo 'task book' > "$user/2026110001/2026110001@科技项目设计书.doc"
echo 'drawing' > "$user/2026110001/2026110001@图纸.dwg"
"$docpackages" export-applications "$work/program" seed "$projects/application.zip" >/dev/null

# Document 1 of each kind, with one row in each of its sub-tables.
shared=$work/program/voltrane.mdb
sqlite3 "$shared" "insert into KORIM_NWZQJCB(ZQJCBID, NXMLXID, XMMC) values(1, 1, '中期');
  insert into KORIM_YSSQNB(NXMLXID, XMMC) values(1, '申请');
  insert into KORIM_SQJJZBNB(JJZBID, NXMLXID, ZBMC) values(1, 1, '经济');
  insert into KORIM_SQJSHZBNB(JSHZBID, NXMLXID, ZBMC) values(1, 1, '社会');
  insert into KORIM_SQJSZBNB(JSZBID, NXMLXID, ZBMC) values(1, 1, '技术');
  insert into KORIM_SQZYCJDWNB(DWID, NXMLXID, DWMC) values(1, 1, '单位');
  insert into KORIM_YSZSBNB(NXMLXID, XMMC) values(1, '证书');
  insert into KORIM_YSJJZBNB(JJZBID, NXMLXID, ZBMC) values(1, 1, '经济');
  insert into KORIM_YSJSHZBNB(JSHZBID, NXMLXID, ZBMC) values(1, 1, '社会');
  insert into KORIM_YSJSZBNB(JSZBID, NXMLXID, ZBMC) values(1, 1, '技术');
  insert into KORIM_YSWYHRYBNB(RYID, NXMLXID, XM) values(1, 1, '委员');
  insert into KORIM_YSXMRYBNB(RYID, NXMLXID, XM) values(1, 1, '人员')"
for kind in 1 2 3; do
  folder=$(sed -n "${kind}p" <<<$'zqjcb\nyssq\nyszs')
  mkdir -p "$work/program/$folder/1"
  echo 'report' > "$work/program/$folder/1/1@报告.doc"
  "$docpackages" export-documents "$work/program" "$kind" "$documents/kind$kind.zip" >/dev/null
done

# The transfer files alone, and packages around changed copies of them.
python3 - "$projects/application.zip" iodata.mdb KJJHSB KJJHSBID XMMC "$projects" \
           "$documents/kind2.zip" iovoltrane.mdb KORIM_YSSQNB NXMLXID XMMC "$documents" <<'PY'
import os, shutil, sqlite3, sys, tempfile, zipfile
args = sys.argv[1:]
for package, transfer, table, key, title, out in (args[:6], args[6:]):
    work = tempfile.mkdtemp()
    with zipfile.ZipFile(package, metadata_encoding='gbk') as z:
        z.extractall(work)
        names = z.namelist()
    # The transfer file alone, on small pages, so that it fits the fuzzer's input length.
    shutil.copy(os.path.join(work, transfer), os.path.join(out, transfer))
    db = sqlite3.connect(os.path.join(out, transfer))
    db.executescript('pragma page_size = 512; vacuum;')
    db.close()
    changes = {
        'null-id': f'update {table} set {key} = null',
        'text-id': f"update {table} set {key} = '..'",
        'blob-id': f"update {table} set {key} = x'31'",
        'long-title': f"update {table} set {title} = printf('%.*c', 300, 'a')",
        'view': f'create table t as select * from {table}; drop table {table}; '
                f'create view {table} as with recursive n(i) as (select 1 union all select i + 1 from n '
                f'where i < 50) select t.* from t, n',
        'column-gone': f'alter table {table} drop column {title}',
        'twice': f'insert into {table} select * from {table}',
    }
    for name, sql in changes.items():
        copy = os.path.join(work, 'changed.mdb')
        shutil.copy(os.path.join(work, transfer), copy)
        db = sqlite3.connect(copy)
        db.executescript(sql)
        db.commit()
        db.close()
        with zipfile.ZipFile(os.path.join(out, name + '.zip'), 'w', zipfile.ZIP_DEFLATED) as z:
            for entry in names:
                z.write(copy if entry == transfer else os.path.join(work, entry), entry)
    shutil.rmtree(work)
PY
