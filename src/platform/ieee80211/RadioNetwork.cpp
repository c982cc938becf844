#include "platform/ieee80211/RadioNetwork.h"

#include <utility>

#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

class RadioNetwork final : public platform::WiFiNetwork, public RadioDescribed {
public:
    explicit RadioNetwork(RadioFacts facts) : facts_(std::move(facts)) {
        const ElementBytes elements = facts_.elements ? ElementBytes(*facts_.elements) : ElementBytes();
        securityMask_ = securityMask(facts_.capability, elements);
        phyModeMask_ = phyModeMask(facts_.frequencyMHz.value_or(0), elements);
        if (facts_.frequencyMHz) channel_ = channelFor(*facts_.frequencyMHz, elements);
    }

    std::optional<std::string> ssid() const override { return facts_.ssid; }
    std::optional<std::string> bssid() const override { return facts_.bssid; }
    std::int64_t rssiValue() const override { return facts_.signalDbm; }
    std::optional<platform::Bytes> informationElementData() const override { return facts_.elements; }
    std::optional<platform::WiFiChannel> wlanChannel() const override { return channel_; }
    bool supportsSecurity(std::int64_t security) const override { return maskHas(securityMask_, security); }
    bool supportsPHYMode(std::int64_t phyMode) const override { return maskHas(phyModeMask_, phyMode); }
    const RadioFacts& radioFacts() const override { return facts_; }

private:
    RadioFacts facts_;
    std::uint32_t securityMask_ = 0;
    std::uint32_t phyModeMask_ = 0;
    std::optional<platform::WiFiChannel> channel_;
};

}  // namespace

std::unique_ptr<platform::WiFiNetwork> makeRadioNetwork(RadioFacts facts) {
    return std::make_unique<RadioNetwork>(std::move(facts));
}

}  // namespace netmoth::ieee80211
