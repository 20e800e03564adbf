#pragma once
// The application-framework pieces the component uses: a narrow string class, a file finder
// and the program's own path.

#include <cstdint>
#include <string>
#include <vector>

class CString {
public:
    CString() = default;
    CString(const char* text) : text_(text ? text : "") {}
    CString(const std::string& text) : text_(text) {}

    CString& operator=(const char* text) {
        text_ = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        text_ += other.text_;
        return *this;
    }
    CString& operator+=(const char* text) {
        if (text) text_ += text;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.text_ + b.text_);
    }
    friend CString operator+(const CString& a, const char* b) {
        return CString(a.text_ + (b ? b : ""));
    }
    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }

    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    const char* GetString() const { return text_.c_str(); }
    operator const char*() const { return text_.c_str(); }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

// Lists a folder's entries matching a pattern ("*.*" and "*" match every entry), in sorted byte
// order so that every machine sees the same order. The entries "." and ".." come first.
//
// The program's template tree ("Content/" in the program's folder) is seen through every
// template root (merrowhost::templateRoots): a folder inside it lists the entries of that folder
// in each root, an entry of an earlier root hiding one of the same name in a later root, and
// each entry's path and root name the folder it really is in. So a program without templates
// of its own, such as one that embeds the component, still finds the installed ones.
class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() = default;
    // The current entry points into the listing, so a finder is not copied.
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a listing of pattern's folder (a pattern of FOLDER/NAME); true when it has an entry.
    bool FindFile(const char* pattern);
    // Moves to the next entry; false when the current entry is the last one.
    bool FindNextFile();
    CString GetFileName() const;
    CString GetFilePath() const;
    // The folder of the current entry, with a trailing separator.
    CString GetRoot() const;
    bool IsDirectory() const;
    bool IsDots() const;
    void Close();

private:
    struct Entry {
        std::string name;
        std::string folder;  // with a trailing separator
        bool directory = false;
    };
    std::vector<Entry> entries_;
    size_t next_ = 0;
    const Entry* current_ = nullptr;
};

using HINSTANCE = void*;

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
};

AFX_MODULE_STATE* AfxGetModuleState();

// Writes the full path of the running program into buffer (at most size characters, always
// zero-terminated when size > 0) and returns its length; a result equal to size means the
// buffer was too small and the text was cut.
uint32_t GetModuleFileNameA(HINSTANCE instance, char* buffer, uint32_t size);

namespace merrowhost {
// For tests: make GetModuleFileNameA report another program path. An empty path restores the
// running executable.
void setProgramPath(const std::string& path);

// The full path of the running program, read from /proc/self/exe; empty when it cannot be read.
std::string runningExecutable();

// The environment variable naming one more folder that holds a template tree "Content/".
inline constexpr const char* kTemplateDirVariable = "MERROWKIT_TEMPLATE_DIR";

// The folders that may hold the template tree "Content/", in the order they are searched, each
// with a trailing separator and each once: the folder of the program (GetModuleFileNameA), the
// folder named by MERROWKIT_TEMPLATE_DIR when it is set and not empty, and the installed data
// folder (share/merrowkit beside the lib folder that holds this library). Folders that do not
// exist are listed as well; they simply hold nothing.
std::vector<std::string> templateRoots();

// For tests: use another installed data folder; an empty folder restores the real one.
void setInstalledTemplateRoot(const std::string& folder);
}  // namespace merrowhost
