#pragma once
// What one of the desktop's file choosers made of a request: a file, the user's cancel, or a failure
// (not there, not answering, broken), after which the next chooser is tried.

#include "core/native_path.h"

struct ChooserOutcome {
    enum class Result { Chosen, Cancelled, Failed };
    Result result = Result::Failed;
    NativeFilePath path;

    static ChooserOutcome Chosen(NativeFilePath path) { return {Result::Chosen, std::move(path)}; }
    static ChooserOutcome Cancelled() { return {Result::Cancelled, {}}; }
    static ChooserOutcome Failed() { return {Result::Failed, {}}; }
};
