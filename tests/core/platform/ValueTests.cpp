#include "platform/Value.h"

#include <gtest/gtest.h>

using namespace norla;

TEST(ValueTest, JSONRoundTripKeepsTypesAndText)
{
    auto parsed = Value::fromJSON(R"({"cmd":"notify","n":3,"d":1.5,"ok":true,"none":null,"list":[1,"二",false],
        "esc":"a\"b\\c\n\u00e9\ud83d\ude00"})");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed->find("cmd")->asString(), "notify");
    EXPECT_EQ(parsed->find("n")->type(), Value::Type::integer);
    EXPECT_EQ(parsed->find("d")->type(), Value::Type::number);
    EXPECT_TRUE(parsed->find("none")->isNull());
    EXPECT_EQ(*parsed->find("esc")->asString(), "a\"b\\c\n\xC3\xA9\xF0\x9F\x98\x80");
    auto again = Value::fromJSON(parsed->toJSON());
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *parsed);
}

TEST(ValueTest, RejectsMalformedJSON)
{
    for (const char* text : { "", "{", "{\"a\":}", "[1,]", "01", "1.", "-", "\"\\x\"", "\"a\nb\"", "tru", "{} x",
             "{\"a\" 1}", "[1 2]", "\"\\ud800", "nul", "\"\\u12G4\"", "{1:2}", "{a\":1}", "{\"a\":1," })
        EXPECT_FALSE(Value::fromJSON(text)) << text;
}

TEST(ValueTest, DeepNestingIsRefusedNotOverflowingTheStack)
{
    std::string deep(100000, '[');
    EXPECT_FALSE(Value::fromJSON(deep));
    std::string ok = std::string(50, '[') + std::string(50, ']');
    EXPECT_TRUE(Value::fromJSON(ok));
    EXPECT_FALSE(Value::fromJSON(ok, 10));
}

TEST(ValueTest, NumbersConvertOnlyWhenExact)
{
    EXPECT_EQ(Value(3.0).asInteger(), 3);
    EXPECT_FALSE(Value(3.5).asInteger());
    EXPECT_FALSE(Value(1e300).asInteger());
    EXPECT_FALSE(Value("3").asInteger());
    EXPECT_EQ(Value::fromJSON("9223372036854775807")->asInteger(), INT64_MAX);
    // Beyond 64 bits a page's number stays a number, never a wrapped or zero integer.
    EXPECT_EQ(Value::fromJSON("99999999999999999999")->asDouble(), 1e20);
    EXPECT_EQ(Value::fromJSON("1e999")->toJSON(), "null");
    EXPECT_EQ(Value(std::int64_t(-5)).asDouble(), -5.0);
}

TEST(ValueTest, FindLooksOnlyIntoObjects)
{
    EXPECT_EQ(Value("x").find("a"), nullptr);
    EXPECT_EQ(Value(Value::Object {}).find("a"), nullptr);
    Value object(Value::Object { { "a", 1 } });
    EXPECT_EQ(object.find("a")->asInteger(), 1);
}
