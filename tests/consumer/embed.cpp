// Embeds the merrowkit component: creates the advanced title of a menu design and saves the new
// presentation document. Usage: embed DESIGN_FOLDER OUTPUT_FILE
#include <merrowkit/Services.h>
#include <merrowkit/host/dom/DocumentRegistry.h>
#include <merrowkit/host/dom/XmlOutputFileGlue.h>
#include <merrowkit/host/framework/ProjectFolder.h>
#include <merrowkit/host/objects/ServiceObject.h>
#include <merrowkit/host/title/AdvancedTitleObject.h>
#include <merrowkit/host/title/ClipListObject.h>
#include <merrowkit/host/title/PresentationObject.h>
#include <merrowkit/host/title/ProjectSourceObject.h>
#include <merrowkit/host/title/TitleSourceObject.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: embed DESIGN_FOLDER OUTPUT_FILE\n");
        return 2;
    }
    const std::string design = argv[1];

    // The reference document (the menu design and the navigation data); relative picture
    // paths in it are taken against its folder.
    merrowhost::setBaseFolder(design);
    merrowhost::DocumentLoadError loadError;
    const unsigned reference =
        merrowhost::loadDocumentFile(design + "/presentation.xml", &loadError);
    if (reference == 0) {
        std::fprintf(stderr, "%s\n", loadError.text().c_str());
        return 2;
    }

    // source: the project side of the request.
    merrowhost::ProjectSourceObject source;
    source.setDiscFormat(10);  // the component takes 10 and 15
    SAVEDATA project{};
    std::snprintf(project.projectName, sizeof project.projectName, "embedded");
    source.setRecord(&project);
    source.setPresentationDomId(reference);
    source.setRootTitleSwitch(true);
    source.setBackgroundSwitch(true);  // a background clip showing "Background.jpg"
    source.setMediaKind(2);
    source.setDefaultItemValue(0);

    // titleSource: the project's titles in order, here the sample design's three user titles.
    merrowhost::TitleSourceObject titleSource;
    for (uint8_t n = 1; n <= 3; ++n) {
        titleSource.addTitle(
            true, GUID{0x3f2c8a10, 0x5b7e, 0x4c21, {0x9d, 0x40, 0x0a, 0x1b, 0x2c, 0x3d, 0x4e, n}});
    }

    int status = 1;
    CzfErrorInfo record;
    CzfServiceObject* creator = nullptr;
    if (gzf_CreateComponent(&merrowkit::kClsidAdvancedTitleCreator, &creator, &record)) {
        void* method = nullptr;
        if (creator->zfQueryService(&merrowkit::kIidCreateBDJAdvancedTitleMethod, &method,
                                    &record)) {
            CzfServiceObject* title = nullptr;
            bool created =
                static_cast<SzfCreateBDJAdvancedTitle_Method*>(method)->zfCreateBDJAdvancedTitle(
                    &title, &source, &titleSource, &record);
            // The title comes back also when created is false; the host's own classes show
            // what it holds.
            auto* advanced = dynamic_cast<merrowhost::AdvancedTitleObject*>(title);
            merrowhost::PresentationObject* presentation =
                advanced != nullptr ? advanced->presentationObject() : nullptr;
            merrowhost::ClipListObject* clips =
                advanced != nullptr ? advanced->clipListObject() : nullptr;
            if (created && presentation != nullptr && presentation->isBound()) {
                std::printf("title created: %zu tracks, %zu clips\n", presentation->tracks().size(),
                            clips != nullptr ? clips->size() : 0);
                // The new document stays in the host's registry: save it with the component's
                // DOM operator.
                CzfServiceObject* dom = nullptr;
                void* operate = nullptr;
                if (gzf_CreateComponent(&merrowkit::kClsidPresentationDomOperator, &dom, &record) &&
                    dom->zfQueryService(&merrowkit::kIidOperateBDJPresentationDom, &operate,
                                        &record) &&
                    static_cast<SzfOperateBDJPresentationDom*>(operate)->zfSavePresentationDom(
                        presentation->boundDomId(), argv[2], &record)) {
                    status = 0;
                }
                CzfObjectFactory::zfFreeObject(dom);
            } else {
                std::fprintf(stderr, "no title: error code %d\n",
                             static_cast<int>(record.errorCode));
            }
            CzfObjectFactory::zfFreeObject(title);
        }
        CzfObjectFactory::zfFreeObject(creator);
    }
    merrowhost::releaseAllDocuments();
    return status;
}
