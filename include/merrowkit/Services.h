#pragma once
// What an embedder needs to reach the component: the exported factory, the class identifiers
// of the two service objects and their service interfaces.
//
//   CzfServiceObject* creator = nullptr;
//   gzf_CreateComponent(&merrowkit::kClsidAdvancedTitleCreator, &creator, &error);
//   void* method = nullptr;
//   creator->zfQueryService(&merrowkit::kIidCreateBDJAdvancedTitleMethod, &method, &error);
//   static_cast<SzfCreateBDJAdvancedTitle_Method*>(method)->zfCreateBDJAdvancedTitle(...);
//   CzfObjectFactory::zfFreeObject(creator);

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"
#include "merrowkit/Export.h"

class CzfServiceObject;

namespace merrowkit {

inline constexpr GUID kClsidAdvancedTitleCreator = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x10, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr GUID kClsidPresentationDomOperator = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x10, 0x00, 0x00, 0x00, 0x00, 0x02}};
inline constexpr GUID kIidCreateBDJAdvancedTitleMethod = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x20, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr GUID kIidOperateBDJPresentationDom = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x20, 0x00, 0x00, 0x00, 0x00, 0x02}};
// Kind category shared by both service objects: kind 319 (title creator), 321 (DOM operator).
inline constexpr GUID kCategoryServiceKind = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x30, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr int kKindAdvancedTitleCreator = 319;
inline constexpr int kKindPresentationDomOperator = 321;
// Error category of every record the component fills.
inline constexpr GUID kErrorCategory = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x40, 0x00, 0x00, 0x00, 0x00, 0x01}};
// Source identifiers: the exported factory, and the service classes' shared source.
inline constexpr GUID kSourceFactory = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x50, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr GUID kSourceServiceClass = {
    0x3a9e5c10, 0x7d21, 0x4f4a, {0xb1, 0x6e, 0x50, 0x00, 0x00, 0x00, 0x00, 0x02}};

// Error codes written into the record.
inline constexpr int kErrorOutOfMemory = 1;      // an object could not be allocated
inline constexpr int kErrorNullArgument = 2;     // a required pointer argument was null
inline constexpr int kErrorUnknownClass = 7;     // no class of that identifier
inline constexpr int kErrorUnknownDocument = 8;  // zfSavePresentationDom: no document of that id
inline constexpr int kErrorSaveFailed = 9;       // zfSavePresentationDom: the file was not written
inline constexpr int kErrorUnexpected = 10;      // an unexpected internal failure was contained

}  // namespace merrowkit

class SzfCreateBDJAdvancedTitle_Method {
public:
    // Creates the advanced title from the source object; the title object is returned in *out
    // whenever it was created, success or not, and the caller owns it.
    virtual bool zfCreateBDJAdvancedTitle(CzfServiceObject** out, CzfServiceObject* source,
                                          CzfServiceObject* titleSource, CzfErrorInfo* error) = 0;

protected:
    ~SzfCreateBDJAdvancedTitle_Method() = default;
};

class SzfOperateBDJPresentationDom {
public:
    // Writes the host document domId to path. False, with the record filled (code 8 or 9,
    // severity 2), when the document is unknown or the file could not be written.
    virtual bool zfSavePresentationDom(unsigned domId, const char* path, CzfErrorInfo* error) = 0;
    // Always false.
    virtual bool zfUnsupportedOperation(void* first, void* second) = 0;

protected:
    ~SzfOperateBDJPresentationDom() = default;
};

extern "C" MERROWKIT_API bool gzf_CreateComponent(const GUID* classId, CzfServiceObject** out,
                                                  CzfErrorInfo* error);
using gzf_CreateComponentFunction = bool (*)(const GUID*, CzfServiceObject**, CzfErrorInfo*);
