#include "core/settings/settings_report.h"

#include <string_view>
#include <utility>

#include "core/channels/channel_options.h"
#include "core/model/authorization.h"
#include "core/settings/button_options.h"
#include "core/settings/radio_info.h"
#include "core/settings/system_options.h"

namespace petrel {

namespace {

// The controls of each page of the system dialog, in the order the page shows them.
struct PageItem {
    bool isList;
    int index;
};
struct SysPage {
    const char* tab;
    std::vector<PageItem> items;
};

std::vector<SysPage> SysPages() {
    return {
        {kBasicTab,
         {{true, kTimeOutList},
          {true, kPowerSaveList},
          {true, kSquelchList},
          {true, kVoxReleaseList},
          {true, kVoxAttackList},
          {true, kLongPressList},
          {true, kPttResumeList},
          {false, kBeepCheck}}},
        {kScanTab,
         {{true, kScanResumeList},
          {false, kPriorCheck},
          {true, kSampleTimeList},
          {false, kPriorToneCheck},
          {false, kTalkBackCheck},
          {true, kTxChannelList}}},
        {kSpecialTab, {{true, kCallList}, {false, kCallMuteCheck}, {true, kBcloList}}},
    };
}

std::string Line(const std::string& caption, const std::string& value) {
    return caption + ": " + value;
}

}  // namespace

std::vector<SettingItem> SettingItems(const Authorization& authorization, const Document& doc) {
    std::vector<SettingItem> items;
    const SystemOptions options = ReadSystemOptions(doc);
    for (const SysPage& page : SysPages()) {
        const std::string heading = std::string(kSysOpCaption) + ", " + page.tab;
        for (const PageItem& item : page.items) {
            if (item.isList) {
                items.push_back({heading, kSysListControls[item.index].caption,
                                 options.Text(static_cast<SysList>(item.index))});
            } else {
                items.push_back({heading, kSysCheckControls[item.index].caption,
                                 options.checked[item.index] ? "YES" : "NO"});
            }
        }
    }

    const ButtonOptions buttons = OpenButtons(doc.state, authorization.PowerKeyAuth);
    std::string heading;
    for (std::size_t frame = 0; frame < kButtonFrames.size(); ++frame) {
        if (frame == 0 || frame == 2) {
            heading = std::string(kButtonsCaption) + ", " + (frame == 0 ? kSideTab : kFrontTab);
        }
        const std::string caption = kButtonFrames[frame].caption;
        const auto shortList = static_cast<ButtonList>(2 * frame);
        // The press labels end with their own colon, which the report line brings back.
        for (const auto& [label, list] : {std::pair{std::string_view(kShortPressLabel), shortList},
                                          std::pair{std::string_view(kLongPressLabel),
                                                    static_cast<ButtonList>(shortList + 1)}}) {
            items.push_back({heading,
                             caption + " " + std::string(label.substr(0, label.size() - 1)),
                             buttons.Text(list)});
        }
    }

    const auto texts = RadioInfoTexts(doc);
    for (std::size_t i = 0; i < kRadioInfoBoxes.size(); ++i) {
        if (kRadioInfoBoxes[i].visible) {
            items.push_back({kRadioInfoCaption, kRadioInfoBoxes[i].caption, texts[i]});
        }
    }
    return items;
}

std::vector<std::string> SettingsReport(const Authorization& authorization, const Document& doc) {
    std::vector<std::string> lines;
    std::string heading;
    for (const SettingItem& item : SettingItems(authorization, doc)) {
        if (item.heading != heading) {
            heading = item.heading;
            lines.push_back(heading);
        }
        lines.push_back(Line(item.caption, item.value));
    }
    lines.emplace_back(kOptionListTitle);
    for (ChannelOptionEntry& entry : ChannelOptionList(doc)) {
        lines.push_back(std::move(entry.line));
    }
    return lines;
}

}  // namespace petrel
