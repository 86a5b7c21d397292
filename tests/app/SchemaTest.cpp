// The database templates beside the program, judged by the sqlite3 shell:
// the files that exchange rows hold the same columns, transfer templates carry
// no keys, the applications table has no column the completeness check would
// trip over, and the code tables hang together.
#include "tests/app/BuiltProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// One line per row, columns joined by '|'.
std::vector<std::string> Query(const std::string& file, const std::string& sql) {
    const std::string command =
        "sqlite3 -batch -noheader -separator '|' '" + BuiltProgramFolder() + file + "' \"" + sql + "\"";
    std::vector<std::string> rows;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return rows;
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            rows.push_back(line);
            line.clear();
        } else {
            line += char(c);
        }
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return rows;
}

// name|type per column, in table order.
std::vector<std::string> Columns(const std::string& file, const std::string& table) {
    return Query(file, "SELECT name || '|' || type FROM pragma_table_info('" + table + "')");
}

const char* const DocumentTables[] = {"KORIM_NWZQJCB",   "KORIM_YSSQNB",   "KORIM_YSZSBNB",    "KORIM_SQJJZBNB",
                                      "KORIM_SQJSHZBNB", "KORIM_SQJSZBNB", "KORIM_SQZYCJDWNB", "KORIM_YSJJZBNB",
                                      "KORIM_YSJSHZBNB", "KORIM_YSJSZBNB", "KORIM_YSWYHRYBNB", "KORIM_YSXMRYBNB"};

TEST(SchemaTest, TransferDatabasesHoldTheColumnsOfTheFilesTheyAreCopiedFrom) {
    for (const char* table : DocumentTables) {
        const auto columns = Columns("voltrane.mdb", table);
        EXPECT_FALSE(columns.empty()) << table;
        EXPECT_EQ(Columns("iovoltrane.mdb", table), columns) << table;
    }
    EXPECT_EQ(Columns("iodata.mdb", "KJJHSB"), Columns("maindata.mdb", "KJJHSB"));
    EXPECT_EQ(Columns("voltrane.mdb", "JHLB"), Columns("maindata.mdb", "JHLB"));
    EXPECT_EQ(Query("voltrane.mdb", "SELECT * FROM JHLB ORDER BY JHLBDM"),
              Query("maindata.mdb", "SELECT * FROM JHLB ORDER BY JHLBDM"));
}

// An import renumbers rows inside the transfer file before copying them on;
// a key there could only make that fail.
TEST(SchemaTest, TransferTemplatesCarryNoKeys) {
    for (const char* file : {"iovoltrane.mdb", "iodata.mdb"}) {
        EXPECT_EQ(Query(file, "SELECT count(*) FROM sqlite_master WHERE type = 'index'"), std::vector<std::string>{"0"})
            << file;
        EXPECT_EQ(Query(file, "SELECT count(*) FROM sqlite_master m, pragma_table_info(m.name) c WHERE c.pk > 0"),
                  std::vector<std::string>{"0"})
            << file;
    }
    // The shared and user databases do keep their keys unique.
    EXPECT_FALSE(Query("voltrane.mdb", "SELECT name FROM pragma_index_list('SYS_MaxID') WHERE [unique]").empty());
    EXPECT_FALSE(Query("maindata.mdb", "SELECT name FROM pragma_index_list('KJJHSB') WHERE [unique]").empty());
}

// Every column of an application is either written by the save statements or
// exempt from the completeness check; any other column would stay empty and
// make every application incomplete. And every written column must exist.
TEST(SchemaTest, ApplicationColumnsAreWrittenOrExemptFromTheCompletenessCheck) {
    const std::set<std::string> written = {
        "KJJHSBID",   "projectLevelID", "XMMC",      "JHLBDM",    "ZNDM",      "SBNF",        "KSSJN",     "KSSJY",
        "ZYYJNR",     "JSSJN",          "JSSJY",     "ZGBMDM",    "JSLYDM",    "XKLYDM",      "DWMC",      "DWLB",
        "QYXZ1",      "QYXZ2",          "QYXZ3",     "ZJJGLB",    "YTLX",      "DWSZQYDM1",   "DWSZQYDM2", "DWSZQYDM3",
        "DWSZSDM",    "DWSZXQDM",       "DWDZ",      "YZBM",      "DWFZR",     "DWFZRZWZC",   "DWFZRLXDH", "XMLXRXM",
        "LXRE_MAIL",  "LXRDH",          "HTTP",      "CDDWZGZRS", "CDDWKJRYS", "CDDWYFKJRYS", "NYFJF",     "YYZLS",
        "FMZLS",      "RJZZQS",         "NCZ",       "NXSE",      "NCH",       "NSJSJ",       "NLR",       "CJDW1",
        "CJDW1XZ",    "CJDW2",          "CJDW2XZ",   "CJDW3",     "CJDW3XZ",   "JWHZDWMC",    "GJHDQ",     "HZXS1",
        "HZXS2",      "HZXS3",          "XMFZRXM1",  "XMFZRXB1",  "XMFZRCSN1", "XMFZRXL1",    "XMFZRXW1",  "XMFZRZC1",
        "XMFZRLXDH1", "XMFZRXM2",       "XMFZRXB2",  "XMFZRCSN2", "XMFZRXL2",  "XMFZRXW2",    "XMFZRZC2",  "XMFZRLXDH2",
        "XMRYZS",     "YFRYS35SYX",     "GJRS",      "ZJRS",      "CJRS",      "QTRS",        "YQCG1",     "YQCG2",
        "YQCG3",      "YQCG4",          "ZTC1",      "ZTC2",      "ZTC3",      "ZLSQFM",      "ZLSQSYXX",  "ZLSQWGSJ",
        "ZLSQFMS",    "ZLSQSYXXS",      "ZLSQWGSJS", "RJZZQ",     "YQNXZCZ",   "YQNXZLS",     "YQNCKCH",   "XMZTZ",
        "SQSBK",      "BMPP",           "DWZC",      "YHDK",      "QTLY",      "YTRYJRYS",    "YTRJF",     "DWZCTR",
        "ZFBKTR",     "QTTR",           "RWSWJM"};
    const std::set<std::string> neverWrittenButExempt = {"DJXH",     "NEEDCHANGE", "CHANGERESULT",
                                                         "ZGBMSFTJ", "ZGBMTJYJ",   "CDDWJBXXID"};
    std::set<std::string> present;
    for (const auto& column : Query("maindata.mdb", "SELECT name FROM pragma_table_info('KJJHSB')")) {
        present.insert(column);
        EXPECT_TRUE(written.count(column) || neverWrittenButExempt.count(column)) << column;
    }
    for (const auto& column : written)
        EXPECT_TRUE(present.count(column)) << column;
}

TEST(SchemaTest, TheRegionTreeIsOneCityWithItsDistricts) {
    EXPECT_EQ(Query("maindata.mdb", "SELECT count(*) FROM XZQHDM WHERE pxzqhid IS NULL"),
              std::vector<std::string>{"1"});
    // Every district hangs on an existing row and carries its city's prefix.
    EXPECT_EQ(Query("maindata.mdb", "SELECT count(*) FROM XZQHDM a WHERE a.pxzqhid IS NOT NULL AND NOT EXISTS "
                                    "(SELECT 1 FROM XZQHDM b WHERE b.xzqhid = a.pxzqhid AND "
                                    "a.DQDM / 100 = b.DQDM / 100)"),
              std::vector<std::string>{"0"});
    // The cascade's own query finds the districts by the city code.
    const auto districts = Query("maindata.mdb", "SELECT a.DQMC FROM xzqhdm a, (SELECT xzqhid, pxzqhid FROM xzqhdm "
                                                 "WHERE dqdm = 330100) b WHERE a.pxzqhid = b.xzqhid ORDER BY dqdm");
    EXPECT_GE(districts.size(), 10u);
}

TEST(SchemaTest, CodeTablesShipTheRowsTheDocumentsRelyOn) {
    // Category 10 switches the application to a subject field.
    EXPECT_EQ(Query("maindata.mdb", "SELECT count(*) FROM JHLB WHERE JHLBDM = '10'"), std::vector<std::string>{"1"});
    EXPECT_FALSE(Query("maindata.mdb", "SELECT * FROM ZGBM").empty());
    EXPECT_FALSE(Query("maindata.mdb", "SELECT * FROM XKLY").empty());
    // Technical fields: one-letter fields, each subdivision under an existing
    // field; H is never complete on its own, so it has subdivisions.
    EXPECT_FALSE(Query("maindata.mdb", "SELECT * FROM JSLY WHERE length(JSLYDM) = 1").empty());
    EXPECT_EQ(Query("maindata.mdb", "SELECT count(*) FROM JSLY a WHERE length(a.JSLYDM) > 1 AND NOT EXISTS "
                                    "(SELECT 1 FROM JSLY b WHERE b.JSLYDM = substr(a.JSLYDM, 1, 1))"),
              std::vector<std::string>{"0"});
    EXPECT_FALSE(Query("maindata.mdb", "SELECT * FROM JSLY WHERE JSLYDM LIKE 'H%' AND JSLYDM <> 'H'").empty());
    // Users and applications start empty.
    EXPECT_EQ(Query("maindata.mdb", "SELECT (SELECT count(*) FROM pass) + (SELECT count(*) FROM KJJHSB)"),
              std::vector<std::string>{"0"});
}

} // namespace
