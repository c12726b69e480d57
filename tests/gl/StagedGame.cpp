#include "StagedGame.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace fs = std::filesystem;

bool StagedGame::prepare()
{
    const fs::path stage = SKYFRONT_STAGE_DIR;
    if (!fs::exists(stage / "bin/skyfront"))
        return false;
    fs::create_directories(tree.path() / "bin");
    fs::copy_file(stage / "bin/skyfront", tree.path() / "bin/skyfront");
    for (const char* part : {"data", "paks"})
        fs::create_directory_symlink(stage / part, tree.path() / part);
    return true;
}

int StagedGame::run(const std::string& arguments)
{
    const std::string command = "cd '" + tree.folder() + "' && SKYFRONT_HEADLESS=1 ./bin/skyfront " + arguments +
                                " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int StagedGame::runScript(const std::string& script, const std::string& arguments)
{
    tree.write("script.txt", script);
    return run("-inputscript script.txt " + arguments);
}

bool StagedGame::loadShot(const std::string& name, TextureImage& image, const std::string& keepFolder)
{
    if (!keepFolder.empty()) {
        const fs::path keep = fs::path(SKYFRONT_BINARY_DIR) / keepFolder;
        fs::create_directories(keep);
        std::error_code ignored;
        fs::copy_file(tree.path() / name, keep / name, fs::copy_options::overwrite_existing, ignored);
    }
    auto file = FileDisk::open(tree.folder() + name, "rb");
    return file && decodePng(*file, image) && image.format == TextureFormat::Rgba8;
}

std::string StagedGame::log() const
{
    std::string all;
    for (const char* name : {"stdout.txt", "stderr.txt"}) {
        std::ifstream in(tree.path() / name, std::ios::binary);
        all.append(std::istreambuf_iterator<char>(in), {});
    }
    return all;
}
