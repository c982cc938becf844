#include "util/Base64.h"

#include <gtest/gtest.h>

namespace netmoth::util {
namespace {

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(Base64, EncodesEveryPaddingLengthAsRfc4648Does) {
    EXPECT_EQ(encodeBase64(bytesOf("")), "");
    EXPECT_EQ(encodeBase64(bytesOf("f")), "Zg==");
    EXPECT_EQ(encodeBase64(bytesOf("fo")), "Zm8=");
    EXPECT_EQ(encodeBase64(bytesOf("foobar")), "Zm9vYmFy");
    EXPECT_EQ(encodeBase64(Bytes{0xfb, 0xff, 0xbf}), "+/+/");
}

TEST(Base64, DecodingRoundTripsEveryByteValue) {
    Bytes all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
    for (std::size_t length = 0; length <= 4; ++length) {
        const Bytes part(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(decodeBase64(encodeBase64(part)), part);
    }
    EXPECT_EQ(decodeBase64(encodeBase64(all)), all);
}

TEST(Base64, DecodingRejectsAnythingButCanonicalText) {
    for (const char* bad : {"Zg=", "Zg", "Z===", "Zh==", "Zm9=", "Zg==Zg==", "Zm 9v", "Zm9v\n", "Zm-v", "=Zg="}) {
        EXPECT_EQ(decodeBase64(bad), std::nullopt) << bad;
    }
}

}  // namespace
}  // namespace netmoth::util
