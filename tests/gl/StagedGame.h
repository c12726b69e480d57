#pragma once
#include "support/TempDir.h"

#include <functional>
#include <string>

struct TextureImage;

// The staged game copied into a scratch tree beside links to the staged data,
// so that its save folder is a scratch one too. Runs it headless under the
// test's display.
class StagedGame {
public:
    // False when the game is not staged (the caller skips).
    bool prepare();

    // Runs bin/skyfront in the tree with the arguments; stdout and stderr go to
    // "stdout.txt" and "stderr.txt". Gives the exit code, or -1 when it did not
    // exit normally.
    int run(const std::string& arguments);
    // Writes the script to "script.txt" and runs with "-inputscript script.txt".
    int runScript(const std::string& script, const std::string& arguments);
    // The same on a display of its own of width x height, for window sizes
    // past the shared test display (without xvfb-run: on the shared one).
    int runScriptOnDisplay(const std::string& script, const std::string& arguments, int width, int height);
    // Runs with "-inputpipe" on a pipe the caller writes to: every line the
    // game logs goes to `steer`, and what it gives back goes down the pipe
    // (an empty text sends nothing). The log still goes to "stdout.txt". The
    // game is killed, and -1 given, when it logs nothing for `silentSeconds`
    // or runs past `limitSeconds` of real time; a game that ends by itself
    // gives its exit code.
    using Steer = std::function<std::string(const std::string& line)>;
    int runSteered(const std::string& arguments, const Steer& steer, double limitSeconds, double silentSeconds);
    // Whether `line` is the frame's wait for input, and which frame it is.
    // sscanf alone stops at the first word that differs, so the frame's other
    // "test: frame N ..." lines would pass for waits.
    static bool waitsForInput(const std::string& line, int& frame);

    // Decodes a PNG the run wrote, as RGBA; with a keep folder (below the
    // build folder) a copy stays there to look at.
    bool loadShot(const std::string& name, TextureImage& image, const std::string& keepFolder = "");

    // Copies a file of the run into a folder below the build folder, to look at.
    void keepFile(const std::string& name, const std::string& keepFolder, const std::string& keptName) const;

    // Everything the run wrote to stdout and stderr.
    std::string log() const;
    std::string errors() const { return tree.read("stderr.txt"); }

    TempDir tree;
};
