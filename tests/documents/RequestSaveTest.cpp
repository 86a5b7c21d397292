// Saving a project application: the stored row read back from the database,
// the name that must be unique, a new application whose id was taken, and
// texts that are no numbers.
#include "tests/documents/RequestWorld.h"

#include "platform/ui/Dialogs.h"

namespace {

class RequestSaveTest : public ::testing::Test, public RequestWorld {};

TEST_F(RequestSaveTest, NewApplicationStoresEveryColumnGroupWithNullsForEmptyNumbers) {
    FillComplete("张's 项目");
    Check("ChkBox_qyxz_my");
    Check("ChkBox_qyxz_mid");
    ASSERT_TRUE(Form->SaveApplication()) << (Dialogs.Boxes().empty() ? "" : Dialogs.Boxes().back().Text);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"projectLevelID", "1"}, {"XMMC", "张's 项目"}, {"YZBM", "010010"},  {"KSSJN", "2026"},     {"KSSJY", "01"},
        {"JSSJN", "2027"},       {"JSSJY", "12"},       {"JSLYDM", "H01"},   {"JHLBDM", "01"},      {"ZNDM", ""},
        {"QYXZ1", "32"},         {"QYXZ2", "35"},       {"QYXZ3", "<null>"}, {"ZJJGLB", "<null>"},  {"XMFZRXM2", ""},
        {"XMFZRXB2", "<null>"},  {"YQNXZLS", "10.5"},   {"HTTP", ""},        {"CJDW1XZ", "<null>"}, {"YQCG1", "<null>"},
        {"XKLYDM", ""},
    };
    for (const auto& [column, value] : expected)
        EXPECT_EQ(Stored(column), value) << column;
}

} // namespace
