// Fuzz target: project.xml. The input is the project file of a project whose reference
// document and pictures are those of the small test project; the whole project is loaded.

#include <cstddef>
#include <cstdint>

#include "cli/build/BuildCommand.h"
#include "cli/build/ProjectLoader.h"
#include "fuzz/FuzzSupport.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/ReadConfinement.h"
#include "host/pictures/PixelBudget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto& folder = fuzzsupport::projectFolder();
    fuzzsupport::writeBytes(folder / "project.xml", data, size);
    merrowhost::startPixelBudget(fuzzsupport::kPixelBudget);
    merrowhost::confineReads(merrowcli::BuildCommand::readableFolders(folder));
    {
        merrowcli::ProjectLoader project;
        std::string error;
        (void)project.load(folder, &error);
    }
    merrowhost::releaseAllDocuments();
    merrowhost::unconfineReads();
    return 0;
}
