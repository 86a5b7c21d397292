-- Plan categories. Both the user database and the shared database hold this
-- table (the acceptance documents look their category up in the shared copy),
-- so both read it from here. Category 10 asks for a subject field instead of
-- a technical field.

CREATE TABLE JHLB (
    JHLBDM VARCHAR(10),
    JHMC VARCHAR(100)
);
CREATE UNIQUE INDEX JHLB_JHLBDM ON JHLB (JHLBDM);

INSERT INTO JHLB (JHLBDM, JHMC) VALUES
    ('01', '重大科技专项'),
    ('02', '科技攻关计划'),
    ('03', '高新技术产业化计划'),
    ('04', '农业科技计划'),
    ('05', '社会发展科技计划'),
    ('06', '科技型中小企业技术创新资金'),
    ('07', '星火计划'),
    ('08', '火炬计划'),
    ('09', '国际科技合作计划'),
    ('10', '基础研究计划');
