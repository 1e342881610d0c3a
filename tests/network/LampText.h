#pragma once

#include <string>

#include "network/protocol/LampState.h"

// Ten lamps written as ten letters in lamp order, i (Idle), c (Clear) or a (Alert), so that a
// table row shows every lamp at a glance.
inline std::string lampText(const net::LampStates& lamps) {
    std::string text;
    for (auto state : lamps) {
        text.push_back(state == net::LampState::Idle    ? 'i'
                       : state == net::LampState::Clear ? 'c'
                                                        : 'a');
    }
    return text;
}

inline net::LampStates lampsFromText(const std::string& text) {
    net::LampStates lamps{};
    for (std::size_t i = 0; i < lamps.size() && i < text.size(); ++i) {
        lamps[i] = text[i] == 'i'   ? net::LampState::Idle
                   : text[i] == 'c' ? net::LampState::Clear
                                    : net::LampState::Alert;
    }
    return lamps;
}
