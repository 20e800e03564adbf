#include "cli/build/BuildRequest.h"

#include "cli/core/Messages.h"
#include "cli/core/TestHook.h"
#include "host/dom/DocumentRegistry.h"
#include "host/framework/ProjectFolder.h"
#include "host/framework/ReadConfinement.h"
#include "host/objects/HostObject.h"
#include "host/pictures/PixelBudget.h"

namespace merrowcli {

BuildRequest::BuildRequest(const BuildOptions& options)
    : options_(options),
      strictBefore_(Messages::instance().strict()),
      baseFolderBefore_(merrowhost::baseFolder()) {
    Messages::instance().setStrict(options.strict);
    Messages::instance().resetWarningCount();
    merrowhost::resetObjectSerials();
    merrowhost::startPixelBudget(pixelBudgetForTest(merrowhost::kRequestPixelBytes));
}

BuildRequest::~BuildRequest() {
    merrowhost::releaseAllDocuments();
    merrowhost::unconfineReads();
    merrowhost::startPixelBudget();
    merrowhost::setBaseFolder(baseFolderBefore_);
    Messages::instance().setStrict(strictBefore_);
}

void BuildRequest::confineReads(const std::filesystem::path& projectFolder) const {
    if (!options_.allowOutside) {
        merrowhost::confineReads(BuildCommand::readableFolders(projectFolder));
    }
}

}  // namespace merrowcli
