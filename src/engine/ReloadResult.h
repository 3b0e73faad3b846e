#pragma once

// What replacing a cached file from disk came to, for the live reload's one trace line per file.

#include <string>
#include <utility>

struct ReloadResult {
    enum class Outcome {
        // Nothing of the run uses the file: nothing to do.
        kNotInUse,
        kReloaded,
        // The file no longer loads; what the run had is kept. `problem` says why.
        kFailed,
    };
    Outcome outcome = Outcome::kNotInUse;
    std::string problem;
    // The failure has already been traced as an error, naming the file (a shader's build, a
    // tile map's reading): the reload then says only that the old one is kept.
    bool traced = false;

    static ReloadResult NotInUse() { return {}; }
    static ReloadResult Reloaded() { return {Outcome::kReloaded, {}, false}; }
    static ReloadResult Failed(std::string why, bool traced = false) {
        return {Outcome::kFailed, std::move(why), traced};
    }
};
