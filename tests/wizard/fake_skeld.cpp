// Stand-in for Skeld in the wizard's run tests. VELK_FAKE_SKELD picks the
// behaviour; VELK_FAKE_SKELD_GATE names a file the test creates to let a
// waiting stand-in go on, so no test depends on timing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

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

int main(int argc, char** argv)
{
    const char* env = std::getenv("VELK_FAKE_SKELD");
    const std::string mode = env ? env : "ok";

    if (mode == "args") {
        for (int i = 1; i < argc; ++i)
            say((std::to_string(i) + "=[" + argv[i] + "]").c_str());
        return 0;
    }
    if (mode == "ok") {
        say("Creating compiler header Files ...");
        say("Creating boost substitute header files ...");
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
