#include "creator/BDJCalendarApplicationCreator.h"

#include <string>

#include "document/CreatorSetToolBox.h"
#include "host/framework/FileCheck.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"

#if defined(MERROWKIT_OLDER_VARIANT)
#include "imagetrack/BufferImageTrackCreatorManager.h"
#endif

namespace {

// Its presence in the host program's folder asks for both documents to be written out.
constexpr const char* kInspectionSwitchFile = "merrowkit.ini";
constexpr const char* kReferenceInspectionFile = "zztemp/RefAppPresentation.xml";
constexpr const char* kNewInspectionFile = "zztemp/AppPresentation.xml";
// The reference document's name when it is opened on the source's DOM.
constexpr const char* kReferenceDocumentName = "test";

// The DOM identifier of the source's presentation document; 0 (no document) when the source
// cannot tell, so the reference glue stays attached to nothing and every read finds nothing.
unsigned referenceDomId(CzfServiceObject* source) {
    auto* project =
        zfQuery<SzfProjectPresentation>(source, merrowhost::kIidProjectPresentation, nullptr);
    unsigned domId = 0;
    if (project == nullptr || !project->zfGetPresentationDomId(&domId, nullptr)) return 0;
    return domId;
}

void saveForInspection(CXMLOutputFileGlue& ref, CXMLOutputFileGlue& doc) {
    const std::string switchFile = CreatorSetToolBox::getModulePath() + kInspectionSwitchFile;
    if (!IsFileExist(switchFile.c_str(), nullptr, nullptr)) return;
    const std::string driveRoot = CreatorSetToolBox::getModuleFileDriverPath();
    // The folder is not created: without it both saves fail, and that is ignored.
    ref.SaveXMLFile((driveRoot + kReferenceInspectionFile).c_str());
    doc.SaveXMLFile((driveRoot + kNewInspectionFile).c_str());
}

template <typename Section>
void runSection(Section&& section) noexcept {
    try {
        section();
    } catch (...) {
    }
}

}  // namespace

CBDJCalendarApplicationCreator::CBDJCalendarApplicationCreator(CzfServiceObject* sourceObject,
                                                               CzfServiceObject* titleObject,
                                                               CzfServiceObject* titleSourceObject)
    : source(sourceObject),
      title(titleObject),
      titleSource(titleSourceObject)
#if defined(MERROWKIT_OLDER_VARIANT)
      ,
      imageTrackCreatorManager(new Merrow::BufferImageTrackCreatorManager())
#endif
{
}

CBDJCalendarApplicationCreator::CBDJCalendarApplicationCreator(
    const CBDJCalendarApplicationCreator& other)
    : source(other.source),
      title(other.title),
      titleSource(other.titleSource),
      titleRecords(other.titleRecords),
      chapterMenuRecords(other.chapterMenuRecords),
      firstScrollHolderPath(other.firstScrollHolderPath)
#if defined(MERROWKIT_OLDER_VARIANT)
      ,
      // Every creator owns its own manager; a copy never shares it.
      imageTrackCreatorManager(
          new Merrow::BufferImageTrackCreatorManager(*other.imageTrackCreatorManager))
#endif
{
}

CBDJCalendarApplicationCreator& CBDJCalendarApplicationCreator::operator=(
    const CBDJCalendarApplicationCreator& other) {
    if (this == &other) return *this;
    // Copy everything that can fail first, so a failed assignment leaves this creator whole.
    std::vector<TitleRecord> records = other.titleRecords;
    std::vector<Merrow::ChapterMenuData> chapterMenus = other.chapterMenuRecords;
    std::string holderPath = other.firstScrollHolderPath;
#if defined(MERROWKIT_OLDER_VARIANT)
    *imageTrackCreatorManager = *other.imageTrackCreatorManager;
#endif
    source = other.source;
    title = other.title;
    titleSource = other.titleSource;
    titleRecords.swap(records);
    chapterMenuRecords.swap(chapterMenus);
    firstScrollHolderPath.swap(holderPath);
    return *this;
}

CBDJCalendarApplicationCreator::~CBDJCalendarApplicationCreator() {
#if defined(MERROWKIT_OLDER_VARIANT)
    delete imageTrackCreatorManager;
#endif
}

bool CBDJCalendarApplicationCreator::createApplication(CzfServiceObject** presentation) {
    if (presentation == nullptr || *presentation != nullptr || source == nullptr) return false;
    CzfServiceObject* made = nullptr;
    try {
        made = CzfObjectFactory::zfCreateObject(&merrowhost::kClassPresentation, nullptr);
        // Without a presentation object there is nothing to build the document for.
        if (made == nullptr) return false;

        CzfDiscTemplateSettings settings;
        if (auto* read =
                zfQuery<SzfSettingsAccess>(source, merrowhost::kIidSettingsAccess, nullptr)) {
            read->zfReadSettings(&settings, nullptr);
        }
        if (auto* apply =
                zfQuery<SzfSettingsAccess>(made, merrowhost::kIidSettingsAccess, nullptr)) {
            apply->zfApplySettings(&settings, nullptr);
        }
        if (auto* setup =
                zfQuery<SzfPresentationSetup>(made, merrowhost::kIidPresentationSetup, nullptr)) {
            setup->zfSetup(0, 0, nullptr);
        }
        // From here on the presentation object is the caller's, whatever happens below.
        *presentation = made;
        made = nullptr;

        CXMLOutputFileGlue ref(referenceDomId(source), kReferenceDocumentName, source);
        CXMLOutputFileGlue doc(kCalendarNamespaceUri, nullptr);
        if (auto* binding = zfQuery<SzfDocumentBinding>(*presentation,
                                                        merrowhost::kIidDocumentBinding, nullptr)) {
            binding->zfBindDocument(doc.GetDOMId(), 0, nullptr);
        }

        // Each section runs whatever the ones before it did; their results are not looked at,
        // and a section that throws is contained here so the next one still runs.
        CzfServiceObject* const target = *presentation;
        runSection([&] { return addLoadingAnimationElement(doc); });
        runSection([&] { return addTitleListElement(doc, titleSource); });
        runSection([&] { return addResourceListElement(doc, ref, target, nullptr); });
        runSection([&] { return addLayoutElement(doc, ref, target, nullptr); });
        runSection([&] { return addCommandSectionElement(doc, ref, target, nullptr); });
        runSection([&] { return addEffectSectionElement(doc, ref); });

        saveForInspection(ref, doc);
        // The new document stays in the host, bound to the presentation object.
        doc.Detach();
        return true;
    } catch (...) {
        // A presentation object not yet handed to the caller would be lost: free it.
        if (made != nullptr) CzfObjectFactory::zfFreeObject(made);
        return false;
    }
}
