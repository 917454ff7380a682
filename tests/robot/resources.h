#pragma once

// Reads the resources of a program file, as the shell and Explorer see
// them, for tests that check what a build put into a program.
#include <windows.h>

#include <string>
#include <vector>

namespace robot {

struct IconImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// The images of icon group `id` in language `language` of the program at
// `path`, in the group's order; empty when there is no such group.
std::vector<IconImage> IconGroupImages(const std::string& path, int id, WORD language);

// The languages in which resource `id` of `type` exists.
std::vector<WORD> ResourceLanguages(const std::string& path, LPCSTR type, int id);

}  // namespace robot
