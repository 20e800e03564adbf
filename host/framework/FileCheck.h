#pragma once
// filecheck: whether a path names an existing regular file.

// Both optional outputs are accepted and ignored; the component passes null.
bool IsFileExist(const char* path, void* reserved1 = nullptr, void* reserved2 = nullptr);
