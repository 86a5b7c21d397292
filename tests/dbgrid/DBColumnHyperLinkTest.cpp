// The hyperlink column's export: a link whose address and text are the
// value, escaped so that no value breaks out of the attribute or the element.
#include "dbgrid/GridColumns.h"

#include <gtest/gtest.h>

namespace {

TEST(DBColumnHyperLinkTest, HtmlExportEscapesTheValueInAddressAndText) {
    TcvDBGridHyperLinkColumn column(nullptr);
    const struct {
        Variant Value;
        const char* Html;
    } cases[] = {
        {Variant("http://a.cn"), R"(<a href="http://a.cn">http://a.cn</a>)"},
        {Variant(R"(x"><script>&)"), R"(<a href="x&quot;&gt;&lt;script&gt;&amp;">x&quot;&gt;&lt;script&gt;&amp;</a>)"},
        {Null(), R"(<a href=""></a>)"},
    };
    for (const auto& c : cases) {
        std::string result;
        column.GetExportText(c.Value, true, result);
        EXPECT_EQ(result, c.Html);
    }
    std::string plain = "kept";
    column.GetExportText(Variant("a<b"), false, plain);
    EXPECT_EQ(plain, "kept") << "other exports keep the inherited text";
}

} // namespace
