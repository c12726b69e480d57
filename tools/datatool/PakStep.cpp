// "paks/base.pak": every file written by the earlier steps, under its data
// name. Built beside the old pak and renamed over it, so an interrupted run
// never leaves half a pak.
#include "DataTool.h"

#include "platform/PakWriter.h"


namespace {
bool buildPak(DataContext& context)
{
    const std::filesystem::path folder = context.stageDir() / "paks";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path target = folder / "base.pak";
    const std::filesystem::path temporary = folder / "base.pak.new";
    PakWriter pak;
    if (!pak.open(temporary.string())) {
        context.error("cannot create " + temporary.string());
        return false;
    }
    for (const std::string& name : context.writtenFiles()) {
        std::string data;
        if (!readSourceFile(context.stageDir() / name, data) ||
            !pak.add(name, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()))) {
            context.error("cannot add " + name + " to the pak");
            return false;
        }
    }
    if (!pak.close()) {
        context.error("cannot finish " + temporary.string());
        return false;
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        context.error("cannot rename " + temporary.string() + ": " + ec.message());
        return false;
    }
    return true;
}
}  // namespace

SKYFRONT_DATA_STEP(1000, "pak", buildPak);
