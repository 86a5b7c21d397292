-- The empty user database, copied for every new user and for each data
-- update: the user and organisation profile, the project applications and the
-- five code tables with the rows a new installation starts from. Run by the
-- sqlite3 shell from this folder.

-- One row: the user, the password and the organisation profile.
CREATE TABLE pass (
    username VARCHAR(20),
    passone VARCHAR(12),
    XMFZRXM1 VARCHAR(20),
    XMFZRXB1 INTEGER,
    XMFZRCSN1 VARCHAR(4),
    XMFZRXL1 INTEGER,
    XMFZRXW1 INTEGER,
    XMFZRZC1 INTEGER,
    XMFZRLXDH1 VARCHAR(30),
    DWMC VARCHAR(120),
    DWDZ VARCHAR(160),
    YZBM VARCHAR(6),
    DWLB INTEGER,
    QYXZ1 INTEGER,
    QYXZ2 INTEGER,
    QYXZ3 INTEGER,
    ZJJGLB INTEGER,
    YTLX INTEGER,
    DWSZSDM INTEGER,
    DWSZXQDM INTEGER,
    DWFZR VARCHAR(20),
    DWFZRZWZC VARCHAR(20),
    DWFZRLXDH VARCHAR(36),
    HTTP VARCHAR(60)
);
CREATE UNIQUE INDEX pass_username ON pass (username);

.read kjjhsb_table.sql
CREATE UNIQUE INDEX KJJHSB_KJJHSBID ON KJJHSB (KJJHSBID);

.read jhlb_table.sql

-- Competent departments of the client city.
CREATE TABLE ZGBM (
    ZGBMDM VARCHAR(10),
    ZGBMMC VARCHAR(100)
);
CREATE UNIQUE INDEX ZGBM_ZGBMDM ON ZGBM (ZGBMDM);

INSERT INTO ZGBM (ZGBMDM, ZGBMMC) VALUES
    ('01', '杭州市发展和改革委员会'),
    ('02', '杭州市经济和信息化局'),
    ('03', '杭州市教育局'),
    ('04', '杭州市农业农村局'),
    ('05', '杭州市卫生健康委员会'),
    ('06', '杭州市生态环境局'),
    ('07', '杭州市城乡建设委员会'),
    ('08', '杭州市交通运输局'),
    ('09', '杭州市林业水利局'),
    ('10', '杭州市商务局'),
    ('11', '杭州市市场监督管理局'),
    ('12', '杭州市文化广电旅游局'),
    ('13', '杭州市规划和自然资源局');

-- Regions as a tree: the city at the top (no parent), its districts and
-- counties below it. DQDM is the national administrative division code.
CREATE TABLE XZQHDM (
    xzqhid INTEGER,
    pxzqhid INTEGER,
    DQDM INTEGER,
    DQMC VARCHAR(60)
);
CREATE UNIQUE INDEX XZQHDM_xzqhid ON XZQHDM (xzqhid);

INSERT INTO XZQHDM (xzqhid, pxzqhid, DQDM, DQMC) VALUES
    (1, NULL, 330100, '杭州市'),
    (2, 1, 330102, '上城区'),
    (3, 1, 330105, '拱墅区'),
    (4, 1, 330106, '西湖区'),
    (5, 1, 330108, '滨江区'),
    (6, 1, 330109, '萧山区'),
    (7, 1, 330110, '余杭区'),
    (8, 1, 330111, '富阳区'),
    (9, 1, 330112, '临安区'),
    (10, 1, 330113, '临平区'),
    (11, 1, 330114, '钱塘区'),
    (12, 1, 330122, '桐庐县'),
    (13, 1, 330127, '淳安县'),
    (14, 1, 330182, '建德市');

-- Technical fields: one letter for a field, the letter and two digits for its
-- subdivisions, listed in xh order. Field H must be narrowed to a subdivision.
CREATE TABLE JSLY (
    JSLYDM VARCHAR(10),
    JSLYMC VARCHAR(100),
    xh INTEGER
);
CREATE UNIQUE INDEX JSLY_JSLYDM ON JSLY (JSLYDM);

INSERT INTO JSLY (JSLYDM, JSLYMC, xh) VALUES
    ('A', '电子信息', 1),
    ('A01', '软件', 2),
    ('A02', '微电子技术', 3),
    ('A03', '计算机产品及其网络应用技术', 4),
    ('A04', '通信技术', 5),
    ('A05', '广播影视技术', 6),
    ('A06', '新型电子元器件', 7),
    ('A07', '信息安全技术', 8),
    ('A08', '智能交通和轨道交通技术', 9),
    ('B', '生物与新医药', 10),
    ('B01', '医药生物技术', 11),
    ('B02', '中药、天然药物', 12),
    ('B03', '化学药研发技术', 13),
    ('B04', '药物新剂型与制剂创制技术', 14),
    ('B05', '医疗仪器、设备与医学专用软件', 15),
    ('B06', '轻工和化工生物技术', 16),
    ('B07', '农业生物技术', 17),
    ('C', '航空航天', 18),
    ('C01', '航空技术', 19),
    ('C02', '航天技术', 20),
    ('D', '新材料', 21),
    ('D01', '金属材料', 22),
    ('D02', '无机非金属材料', 23),
    ('D03', '高分子材料', 24),
    ('D04', '生物医用材料', 25),
    ('D05', '精细和专用化学品', 26),
    ('E', '高技术服务', 27),
    ('E01', '研发与设计服务', 28),
    ('E02', '检验检测认证与标准服务', 29),
    ('E03', '信息技术服务', 30),
    ('E04', '知识产权与成果转化服务', 31),
    ('E05', '电子商务与现代物流技术', 32),
    ('E06', '城市管理与社会服务', 33),
    ('F', '新能源与节能', 34),
    ('F01', '可再生清洁能源', 35),
    ('F02', '核能及氢能', 36),
    ('F03', '新型高效能量转换与储存技术', 37),
    ('F04', '高效节能技术', 38),
    ('G', '资源与环境', 39),
    ('G01', '水污染控制与水资源利用技术', 40),
    ('G02', '大气污染控制技术', 41),
    ('G03', '固体废弃物处置与综合利用技术', 42),
    ('G04', '环境监测及环境事故应急处理技术', 43),
    ('G05', '生态环境建设与保护技术', 44),
    ('G06', '清洁生产技术', 45),
    ('H', '先进制造与自动化', 46),
    ('H01', '工业生产过程控制系统', 47),
    ('H02', '安全生产技术', 48),
    ('H03', '高性能、智能化仪器仪表', 49),
    ('H04', '先进制造工艺与装备', 50),
    ('H05', '新型机械', 51),
    ('H06', '电力系统与设备', 52),
    ('H07', '汽车及轨道车辆相关技术', 53),
    ('H08', '高技术船舶与海洋工程装备设计制造技术', 54);

-- Subject fields, by the national classification of disciplines.
CREATE TABLE XKLY (
    XKLYDM VARCHAR(10),
    XKLYMC VARCHAR(100)
);
CREATE UNIQUE INDEX XKLY_XKLYDM ON XKLY (XKLYDM);

INSERT INTO XKLY (XKLYDM, XKLYMC) VALUES
    ('110', '数学'),
    ('120', '信息科学与系统科学'),
    ('130', '力学'),
    ('140', '物理学'),
    ('150', '化学'),
    ('160', '天文学'),
    ('170', '地球科学'),
    ('180', '生物学'),
    ('190', '心理学'),
    ('210', '农学'),
    ('220', '林学'),
    ('230', '畜牧、兽医科学'),
    ('240', '水产学'),
    ('310', '基础医学'),
    ('320', '临床医学'),
    ('330', '预防医学与公共卫生学'),
    ('350', '药学'),
    ('360', '中医学与中药学'),
    ('410', '工程与技术科学基础学科'),
    ('420', '测绘科学技术'),
    ('430', '材料科学'),
    ('440', '矿山工程技术'),
    ('450', '冶金工程技术'),
    ('460', '机械工程'),
    ('470', '动力与电气工程'),
    ('480', '能源科学技术'),
    ('490', '核科学技术'),
    ('510', '电子与通信技术'),
    ('520', '计算机科学技术'),
    ('530', '化学工程'),
    ('540', '纺织科学技术'),
    ('550', '食品科学技术'),
    ('560', '土木建筑工程'),
    ('570', '水利工程'),
    ('580', '交通运输工程'),
    ('590', '航空、航天科学技术'),
    ('610', '环境科学技术及资源科学技术'),
    ('620', '安全科学技术'),
    ('630', '管理学'),
    ('790', '经济学');
