#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Program.h"
#include "game/GameComposition.h"
#include "replay/ReplayRunSystem.h"

namespace {
constexpr const char* kUsage =
    "usage: game                          play\n"
    "       game --record FILE            play, and record the run into FILE\n"
    "       game --replay FILE [--fast]   replay the run recorded in FILE (--fast: without\n"
    "                                     waiting for the clock)\n";
// A command line the program does not understand.
constexpr int kUsageStatus = 2;
}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    std::string record;
    std::string replay;
    bool fast = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if ((argument == "--record" || argument == "--replay") && i + 1 < arguments.size()) {
            (argument == "--record" ? record : replay) = arguments[++i];
        } else if (argument == "--fast") {
            fast = true;
        } else {
            std::cerr << "game: unknown or incomplete argument \"" << argument << "\"\n" << kUsage;
            return kUsageStatus;
        }
    }
    if ((!record.empty() && !replay.empty()) || (fast && replay.empty())) {
        std::cerr << "game: --record and --replay exclude each other; --fast needs --replay\n"
                  << kUsage;
        return kUsageStatus;
    }
    std::string error;
    ReplayRunSystem& replaySystem = ReplayRunSystem::Instance();
    if (!record.empty() && !replaySystem.StartRecording(record, error)) {
        std::cerr << "Tarnwick cannot record: " << error << std::endl;
        return 1;
    }
    if (!replay.empty() && !replaySystem.StartReplay(replay, fast, error)) {
        std::cerr << "Tarnwick cannot replay: " << error << std::endl;
        return 1;
    }
    return Program(GameComposition(!record.empty() || !replay.empty())).Run();
}
