// Stand-in for Skeld in the wizard's run tests. VELK_FAKE_SKELD picks the
// behaviour; VELK_FAKE_SKELD_GATE names a file the test creates to let a
// waiting stand-in go on, so no test depends on timing. --check prints
// VELK_FAKE_CHECK as its last line, or waits for ever when it says "hang".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform.h"

namespace {

void say(const char* text, bool lineBreak = true)
{
    std::fputs(text, stdout);
    if (lineBreak)
        std::fputc('\n', stdout);
    std::fflush(stdout);
}

void waitForGate()
{
    const char* gate = std::getenv("VELK_FAKE_SKELD_GATE");
    for (int i = 0; gate && i < 6000; ++i) {  // gives up after a minute
        if (FILE* f = std::fopen(gate, "r")) {
            std::fclose(f);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

int main(int argc, char** narrow)
{
    // Skeld prints UTF-8; so do its stand-in's echoes of its arguments.
    const platform::program_arguments arguments(argc, narrow);
    const char* const* argv = arguments.values();
    const char* env = std::getenv("VELK_FAKE_SKELD");
    const std::string mode = env ? env : "ok";
    const bool progress = argc > 1 && std::string(argv[1]) == "--progress";
    if (argc > 1 && std::string(argv[1]) == "--check") {
        const char* answer = std::getenv("VELK_FAKE_CHECK");
        const std::string last = answer ? answer : "Check: status=1 write=3 remove=0 add=2 record=1 refuse=none";
        say("A line for people");
        if (last == "hang")
            std::this_thread::sleep_for(std::chrono::seconds(60));
        say(last.c_str());
        return last.find("status=2") != std::string::npos ? 2 : last.find("status=0") != std::string::npos ? 0 : 1;
    }

    if (mode == "args") {
        for (int i = 1; i < argc; ++i)
            say((std::to_string(i) + "=[" + argv[i] + "]").c_str());
        return 0;
    }
    if (progress) {
        ++argv;
        --argc;
    }
    if (mode == "ok") {
        say("Creating compiler header Files ...");
        if (progress)
            say("Progress: headers 0 4");
        say("Creating boost substitute header files ...");
        if (progress)
            say("Progress: headers 4 4");
        say("Creating compiler/platform substitute header files ...");
        say("Modifying Compiler Personality...");
        if (argc > 3) {
            say("Please add the following directory to your analyser personality or as the "
                "first include path in your CPPFLAGS or equivalent variable in your makefile:");
            say(argv[3]);
        }
        return 0;
    }
    if (mode == "noconfig") {
        say("Creating compiler header Files ...");
        say((std::string("No need for configuration, boost should work successfully.") + (argc > 1 ? argv[1] : ""))
                .c_str());
        return 0;
    }
    if (mode == "fail") {
        say("Original location of boost must end with the .../boost subdirectory", false);
        return 1;
    }
    if (mode == "crash") {
        say("Creating compiler header Files ...");
        // A real fault: abort() ends a Windows program with status 3, a normal end there.
        __builtin_trap();
    }
    if (mode == "split") {
        // A line in two writes, cut after the word's third byte (inside a
        // two-byte UTF-8 character); the test gives the word in its encoding.
        const char* wordEnv = std::getenv("VELK_FAKE_SKELD_WORD");
        const std::string word = wordEnv ? wordEnv : "";
        say("Creating compiler header Files ...");
        say(("Path: /tmp/" + word.substr(0, 3)).c_str(), false);
        waitForGate();
        say((word.substr(std::min<std::size_t>(3, word.size())) + " <b>&amp;</b>").c_str());
        say("");
        say("Done");
        return 0;
    }
    if (mode == "gate") {
        say("Creating compiler header Files ...");
        say("Progress: headers 3 10");
        waitForGate();
        return 0;
    }
    if (mode == "hang") {
        say("Creating compiler header Files ...");
        std::this_thread::sleep_for(std::chrono::seconds(60));
        return 0;
    }
    return 2;
}
