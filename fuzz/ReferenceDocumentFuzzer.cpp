// Fuzz target: a reference document through the whole creation request, as `merrowkit build`
// runs it: the project is loaded (its reference document is the input), the document checks
// run, the component creates the advanced title, and the title description is made.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "cli/build/BuildCommand.h"
#include "cli/build/InputLint.h"
#include "cli/build/OutputWriter.h"
#include "cli/build/ProjectLoader.h"
#include "cli/build/TitleDescription.h"
#include "fuzz/FuzzSupport.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/ReadConfinement.h"
#include "host/objects/HostObject.h"
#include "host/objects/ServiceObject.h"
#include "host/pictures/PixelBudget.h"
#include "merrowkit/Services.h"

namespace {

struct ObjectFree {
    void operator()(CzfServiceObject* object) const { CzfObjectFactory::zfFreeObject(object); }
};
using OwnedObject = std::unique_ptr<CzfServiceObject, ObjectFree>;

void createTitle(merrowcli::ProjectLoader& project) {
    CzfErrorInfo record;
    CzfServiceObject* creatorObject = nullptr;
    if (!gzf_CreateComponent(&merrowkit::kClsidAdvancedTitleCreator, &creatorObject, &record) ||
        creatorObject == nullptr) {
        return;
    }
    const OwnedObject creator(creatorObject);
    void* method = nullptr;
    if (!creator->zfQueryService(&merrowkit::kIidCreateBDJAdvancedTitleMethod, &method, &record) ||
        method == nullptr) {
        return;
    }
    CzfServiceObject* titleObject = nullptr;
    const bool result =
        static_cast<SzfCreateBDJAdvancedTitle_Method*>(method)->zfCreateBDJAdvancedTitle(
            &titleObject, project.source(), project.titleSource(), &record);
    const OwnedObject title(titleObject);
    const merrowcli::TitleDescription description(result, project.settings().discFormat,
                                                  title.get(), record, "");
    (void)description.text();
    (void)merrowcli::OutputWriter::titleTracks(title.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto& folder = fuzzsupport::projectFolder();
    fuzzsupport::writeBytes(folder / "presentation.xml", data, size);
    merrowhost::resetObjectSerials();
    merrowhost::startPixelBudget(fuzzsupport::kPixelBudget);
    merrowhost::confineReads(merrowcli::BuildCommand::readableFolders(folder));
    {
        merrowcli::ProjectLoader project;
        std::string error;
        if (project.load(folder, &error)) {
            merrowhost::onRegistryDocument(project.referenceDomId(), [](_xmlDoc* doc) {
                (void)merrowcli::checkReferenceDocument(doc);
                return true;
            });
            createTitle(project);
        }
    }
    merrowhost::releaseAllDocuments();
    merrowhost::unconfineReads();
    return 0;
}
