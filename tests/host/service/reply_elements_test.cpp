#include "service/reply_elements.h"

#include <gtest/gtest.h>

namespace {

TEST(ExtractElement, GivesTheTrimmedValueOrEmptyWhenTagsAreMissing)
{
    EXPECT_EQ("blue sky", ExtractElement("skin", "<skin> \r\n blue sky\t</skin>"));
    EXPECT_EQ("", ExtractElement("skin", "<skin> \r\n </skin>"));
    EXPECT_EQ("", ExtractElement("skin", ""));
    EXPECT_EQ("", ExtractElement("skin", "<skin>blue"));
    EXPECT_EQ("", ExtractElement("skin", "blue</skin>"));
    EXPECT_EQ("", ExtractElement("skin", "</skin>blue<skin>"));
    // Only the first closing tag counts, even when a later one would fit.
    EXPECT_EQ("", ExtractElement("skin", "</skin><skin>blue</skin>"));
}

TEST(ExtractElement, MatchesTagsExactlyAndCaseSensitively)
{
    EXPECT_EQ("", ExtractElement("skin", "<SKIN>blue</SKIN>"));
    EXPECT_EQ("", ExtractElement("skin", "<skin id=\"1\">blue</skin>"));
    EXPECT_EQ("", ExtractElement("skin", "< skin>blue</skin>"));
    EXPECT_EQ("&amp;<b>x</b>", ExtractElement("skin", "junk<skin>&amp;<b>x</b></skin>tail"));
    // First opening and first closing tag: nesting is not understood.
    EXPECT_EQ("<a>x", ExtractElement("a", "<a><a>x</a></a>"));
    EXPECT_EQ("one", ExtractElement("a", "<a>one</a><a>two</a>"));
}

TEST(ExtractNextElement, WalksASequenceAndStopsAtTheFirstEmptyValue)
{
    std::string_view records = "<record>r1</record>\r\n<record> </record><record>r3</record>";
    EXPECT_EQ("r1", ExtractNextElement("record", records));
    EXPECT_EQ("\r\n<record> </record><record>r3</record>", records);
    EXPECT_EQ("", ExtractNextElement("record", records));
    EXPECT_EQ("<record>r3</record>", records);
}

TEST(ExtractNextElement, ConsumesUpToTheFirstClosingTagWhateverTheValue)
{
    std::string_view text = "a</record>b<record>c</record>d";
    EXPECT_EQ("", ExtractNextElement("record", text));
    EXPECT_EQ("b<record>c</record>d", text);

    std::string_view unclosed = "<record>open";
    EXPECT_EQ("", ExtractNextElement("record", unclosed));
    EXPECT_EQ("", unclosed);
}

TEST(ExtractNextElement, WalksAHundredThousandRecordsInOrderToTheEnd)
{
    std::string reply;
    for (int i = 0; i < 100000; ++i)
        reply += "<record>" + std::to_string(i) + "</record>\r\n";
    std::string_view rest = reply;
    int count = 0;
    for (std::string value; !(value = ExtractNextElement("record", rest)).empty(); ++count)
        ASSERT_EQ(std::to_string(count), value);
    EXPECT_EQ(100000, count);
    EXPECT_TRUE(rest.empty());
}

} // namespace
