#pragma once

#include <string>

#include "core/model/band_table.h"

namespace petrel {

class Workspace;

// The bands the new-radio dialog offers, in its order.
struct NewRadioBand {
    const char* name;
    int band;
};
inline constexpr NewRadioBand kNewRadioBands[] = {{"Petrel (PMR)", kBandPmr},
                                                  {"Petrel (Korea)", kBandKorea}};

inline constexpr int kMinNewChannels = 1;
inline constexpr int kMaxNewChannels = 99;

// The channel count typed into the new-radio dialog: a whole number from 1 to 99, or nothing.
bool ParseChannelCount(const std::string& text, int& count);

// Builds a new configuration for band (1..12) with channels (1..99) channels, as the new-radio
// dialog's OK does: preset channel lines, default system block, PLL parameters, tuning block
// and information tables. Returns the new document's slot.
int BuildNewConfiguration(Workspace& workspace, int band, int channels);

}  // namespace petrel
