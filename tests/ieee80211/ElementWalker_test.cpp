#include "platform/ieee80211/ElementWalker.h"

#include <gtest/gtest.h>

#include "ElementBuilders.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;
using Ids = std::vector<std::uint8_t>;

Ids idsOf(const Bytes& bytes) {
    Ids ids;
    for (const auto& e : elementsIn(bytes)) ids.push_back(e.id);
    return ids;
}

TEST(ElementWalker, LengthPastTheEndStopsTheWalkButKeepsWhatCameBefore) {
    // The bytes after a bad length are not read as elements of their own.
    EXPECT_EQ(idsOf(join({dsParameterSet(1), {element::kSsid, 5}, dsParameterSet(6)})), Ids{3});
    EXPECT_EQ(idsOf(join({dsParameterSet(1), {element::kSsid}})), Ids{3});
    EXPECT_EQ(idsOf(Bytes{element::kRsn, 255}), Ids{});
}

TEST(ElementWalker, ZeroLengthElementsAreWalkedOverButAnEmptyExtensionNamesNothing) {
    EXPECT_EQ(idsOf(join({rawElement(element::kSsid, {}), rawElement(200, {}), rawElement(element::kExtension, {}),
                          dsParameterSet(1)})),
              (Ids{0, 200, 3}));
}

TEST(ElementWalker, LengthOutsideTheKindsBoundsSkipsOnlyThatElement) {
    const Bytes shortHtCapabilities = rawElement(element::kHtCapabilities, Bytes(25, 0));
    const Bytes longDsParameterSet = rawElement(element::kDsParameterSet, {1, 2});
    EXPECT_EQ(idsOf(join({shortHtCapabilities, longDsParameterSet, erpElement()})), Ids{element::kErp});
}

TEST(ElementWalker, ExtensionElementsCarryTheirExtensionIdOutsideThePayload) {
    const Bytes bytes = join({ssidElement("ab"), heCapabilities()});
    const auto elements = elementsIn(bytes);
    ASSERT_EQ(elements.size(), 2U);
    EXPECT_EQ(Bytes(elements[0].payload.begin(), elements[0].payload.end()), (Bytes{'a', 'b'}));
    EXPECT_EQ(elements[1].extensionId, extension::kHeCapabilities);
    EXPECT_EQ(elements[1].payload.size(), 21U);
}

}  // namespace
}  // namespace netmoth::ieee80211
