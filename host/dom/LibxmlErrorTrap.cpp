#include "host/dom/LibxmlErrorTrap.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

namespace merrowhost {
namespace {

void silentGeneric(void*, const char*, ...) {}

void trapStructured(void* context, xmlErrorPtr error) {
    if (context == nullptr || error == nullptr) return;
    static_cast<LibxmlErrorTrap*>(context)->record(static_cast<int>(error->level), error->file,
                                                   error->line, error->int2, error->message);
    // An error of the document itself stops the parser. Not one inside an entity's text
    // (parsed in a context of its own, depth > 0): the document's parser reports that as an
    // error of its own, and stopping the inner one would hide it.
    if (error->level >= XML_ERR_ERROR && error->ctxt != nullptr &&
        (error->domain == XML_FROM_PARSER || error->domain == XML_FROM_NAMESPACE)) {
        auto* parser = static_cast<xmlParserCtxtPtr>(error->ctxt);
        if (parser->depth == 0) {
            xmlStopParser(parser);
            static_cast<LibxmlErrorTrap*>(context)->noteStopped();
        }
    }
}

}  // namespace

LibxmlErrorTrap::LibxmlErrorTrap() {
    // Both handlers are per thread in libxml2; the previous ones come back in the destructor.
    savedGeneric_ = xmlGenericError;
    savedGenericContext_ = xmlGenericErrorContext;
    savedStructured_ = xmlStructuredError;
    savedStructuredContext_ = xmlStructuredErrorContext;
    xmlSetGenericErrorFunc(nullptr, silentGeneric);
    xmlSetStructuredErrorFunc(this, trapStructured);
}

LibxmlErrorTrap::~LibxmlErrorTrap() {
    xmlSetStructuredErrorFunc(savedStructuredContext_, savedStructured_);
    xmlSetGenericErrorFunc(savedGenericContext_, savedGeneric_);
}

void LibxmlErrorTrap::record(int level, const char* file, int line, int column,
                             const char* message) {
    // Later errors are often consequences of the first; a fatal error outranks earlier
    // warnings and recoverable errors.
    const bool better = !hasError_ || (level > firstLevel_ && firstLevel_ < XML_ERR_FATAL);
    if (!better) return;
    hasError_ = true;
    firstLevel_ = level;
    first_.file = file ? file : "";
    first_.line = line;
    first_.column = column;
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    first_.message = text;
}

}  // namespace merrowhost
