// The module's two creatable classes and the filter's mapper registration.
#include <dshow.h>

#include <iterator>

#include "Module.h"
#include "ReverbFilter.h"
#include "ReverbPropertyPage.h"

namespace sombrevox {
namespace {

const PinTypeSetup kAudioType = {&MEDIATYPE_Audio, &GUID_NULL};

const PinSetup kPins[2] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &GUID_NULL, L"Output", 1, &kAudioType},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &GUID_NULL, L"Input", 1, &kAudioType},
};

}  // namespace

// Merit 0x00200000, the value the filter has always registered with: graph
// builders never pick it on their own. (The platform headers name this value
// MERIT_DO_NOT_USE; their MERIT_UNLIKELY is 0x00400000.)
constexpr DWORD kMerit = 0x00200000;

const FilterSetup ReverbFilter::kSetup = {&CLSID_SombrevoxLight, L"ORVELA Soft SombrevoxLight", kMerit, 2, kPins};

const FilterSetup* ReverbFilter::SetupRecord() { return &kSetup; }

const FactoryTemplate kClassTable[] = {
    {L"ORVELA Soft SombrevoxLight", &CLSID_SombrevoxLight, ReverbFilter::Create, nullptr, &ReverbFilter::kSetup},
    {L"ORVELA Soft SombrevoxLight Property Page", &CLSID_SombrevoxLightPage, CreatePropertyPage, PropertyPageModuleHook,
     nullptr},
};
const int kClassTableCount = static_cast<int>(std::size(kClassTable));

}  // namespace sombrevox
