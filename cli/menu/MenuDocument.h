#pragma once
// AppPresentation.xml as the menu compiler reads it: every element with its name, attributes
// and children, its parent, and the elements of each id in document order. Values are read the
// way the browser preview used to read them (a number attribute that is not a number counts as
// missing), so that the compiled model keeps what the preview showed.

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct _xmlNode;

namespace merrowcli::menu {

struct MenuNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    int parent = -1;
    std::vector<int> children;
};

class MenuDocument {
public:
    // The tree below (and including) a libxml2 element.
    explicit MenuDocument(const _xmlNode* root);

    const MenuNode& node(int n) const { return nodes_[static_cast<size_t>(n)]; }
    int root() const { return 0; }

    // The attribute's value, or null when absent.
    const std::string* attribute(int n, const char* name) const;
    std::string text(int n, const char* name) const;  // "" when absent
    bool has(int n, const char* name) const { return attribute(n, name) != nullptr; }
    // The attribute as a number: fallback when absent or not a finite number; an empty value
    // is 0.
    double number(int n, const char* name, double fallback = 0) const;

    // The first element with the id, or -1.
    int find(const std::string& id) const;
    bool hasId(const std::string& id) const { return byId_.count(id) != 0; }
    // The first child with the name, or -1.
    int child(int n, const char* name) const;
    // Every element below n (not n) with the name, in document order.
    std::vector<int> descendants(int n, const char* name) const;
    bool isInside(int n, int ancestor) const;

private:
    int add(const _xmlNode* element, int parent);

    std::vector<MenuNode> nodes_;
    std::unordered_map<std::string, std::vector<int>> byId_;
};

// "PREFIX_KIND_N" of a strip's scene element, KIND one of SCENE, TEXT, TITLEDECORATION,
// TITLENUMBER, PHOTODECORATION, PHOTONUMBER.
struct SceneName {
    std::string prefix;
    std::string kind;
    int number = 0;
};
std::optional<SceneName> sceneName(const std::string& id);

}  // namespace merrowcli::menu
