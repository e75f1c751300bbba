#include "FactoryPresets.h"

#include <cstring>

namespace sombrevox {

const FactoryPreset kFactoryPresets[kFactoryPresetCount] = {
    {"(Default)", {33, 250, 10000, 1.0, 1200, 0.5, 0.5, 0}},
    {"001 - Small room bright", {0, 53, 16000, 0.54, 400, 0.27, 0.5, 0}},
    {"002 - Small room dark", {0, 67, 2500, 0.56, 450, 0.3, 0.5, 0}},
    {"003 - Small room slapback", {86, 140, 6500, 0.61, 650, 0.38, 0.5, 0}},
    {"004 - Medium room bright", {30, 405, 16000, 0.7, 1100, 0.5, 0.5, 0}},
    {"005 - Medium room dark", {30, 660, 2200, 0.73, 1400, 0.56, 0.5, 0}},
    {"006 - Medium room warm", {30, 425, 7000, 0.7, 1150, 0.51, 0.5, 0}},
    {"007 - Medium room slapback", {150, 600, 8500, 0.73, 1350, 0.55, 0.5, 0}},
    {"008 - Medium room fat", {0, 665, 13500, 0.73, 1450, 0.55, 0.5, 0}},
    {"009 - Large room bright", {60, 1560, 16000, 0.8, 2200, 0.65, 0.5, 0}},
    {"010 - Large room dark", {88, 2280, 2500, 0.83, 2650, 0.7, 0.5, 0}},
    {"011 - Hall", {60, 1300, 6000, 0.78, 2000, 0.62, 0.5, 0}},
    {"012 - Long tail", {0, 6350, 6500, 0.91, 4500, 0.81, 0.5, 0}},
    {"013 - Huge bright space", {150, 20000, 16000, 1.0, 8000, 0.94, 0.5, 0}},
    {"014 - Mirror", {250, 300, 6500, 0.5, 300, 0.2, 0.5, 0}},
    {"015 - Echoverb", {250, 1850, 1400, 0.81, 2400, 0.67, 0.5, 0}},
    {"016 - Ambience", {26, 231, 8815, 0.65, 841, 0.44, 0.5, 0}},
    {"017 - Live house", {26, 1045, 12467, 0.77, 1802, 0.61, 0.5, 0}},
    {"018 - Chapel", {60, 2995, 1625, 0.85, 3067, 0.73, 0.5, 0}},
    {"019 - Distance", {26.39, 1277.9, 4392.3, 0.78, 1994.8, 0.6, 0.6, 0}},
    {"020 - Whitechapel", {26.39, 82.5, 4500, 0.57, 500, 0.3, 0.6, 0}},
    {"021 - Thunder", {69.72, 20000, 500, 1.0, 8000, 0.9, 0.6, 0}},
    {"022 - Stepney on Saturday", {181.52, 826.63, 4184.3, 0.75, 1600.9, 0.55, 0.6, 0}},
    {"023 - C.S.I.", {26.39, 825.71, 3494.3, 0.75, 1600, 0.56, 0.6, 0}},
};

int FindFactoryPreset(const char* name) {
  for (int i = 0; i < kFactoryPresetCount; ++i)
    if (std::strcmp(kFactoryPresets[i].name, name) == 0) return i;
  return -1;
}

}  // namespace sombrevox
