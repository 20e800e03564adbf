// menu-model OUT_DIR [MODEL_FILE]: compiles the calendar menu of a build's output folder and
// prints what it holds, the size of its two encodings and the compile time (CPU and wall
// seconds, the best of three runs); writes the binary model to MODEL_FILE when given.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "CpuSeconds.h"
#include "cli/menu/MenuBinary.h"
#include "cli/menu/MenuCompiler.h"
#include "cli/menu/MenuJson.h"
#include "cli/menu/MenuModel.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: menu-model OUT_DIR [MODEL_FILE]\n");
        return 2;
    }
    merrowcli::menu::MenuModel model;
    std::string error;
    double bestCpu = 0;
    double bestWall = 0;
    for (int run = 0; run < 3; ++run) {
        const double cpu = cpuSeconds();
        const auto wall = std::chrono::steady_clock::now();
        if (!merrowcli::menu::compileMenu(argv[1], argv[1], &model, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        const double usedCpu = cpuSeconds() - cpu;
        const double usedWall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
        if (run == 0 || usedCpu < bestCpu) bestCpu = usedCpu;
        if (run == 0 || usedWall < bestWall) bestWall = usedWall;
    }
    std::string binary;
    if (!merrowcli::menu::menuBinary(model, &binary, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::string json = merrowcli::menu::menuJson(model);
    size_t elements = 0;
    for (const auto& list : model.drawLists) elements += list.elements.size();
    size_t listRefs = 0;
    size_t focusables = 0;
    for (const auto& view : model.views) {
        listRefs += view.drawLists.size();
        focusables += view.focusables.size();
    }
    std::printf(
        "views %zu, draw lists %zu (%zu elements, %zu references), focusables %zu, "
        "results %zu, pictures %zu, strings %zu\n",
        model.views.size(), model.drawLists.size(), elements, listRefs, focusables,
        model.results.size(), model.pictures.size(), model.strings.size());
    std::printf("json %zu bytes, binary %zu bytes, compile %.3f s CPU, %.3f s wall\n", json.size(),
                binary.size(), bestCpu, bestWall);
    if (argc == 3) {
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(binary.data(), static_cast<std::streamsize>(binary.size()));
        if (!out) {
            std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
