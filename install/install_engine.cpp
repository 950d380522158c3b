#include "install/install_engine.h"

namespace kestrava {

namespace {

enum class Family { k80, k58, k76 };

struct Model {
  const char* name;
  const char* gpd;
  const char* resourceDll;
  Family family;
  bool cutter;
};

constexpr std::array<Model, kModelCount> kModels = {{
    {"RT-80C", "P80C.GPD", "P80.DLL", Family::k80, true},
    {"RT-80", "P80.GPD", "P80.DLL", Family::k80, false},
    {"RT-58C", "P58C.GPD", "P58.DLL", Family::k58, true},
    {"RT-58", "P58.GPD", "P58.DLL", Family::k58, false},
    {"RT-76C", "P76C.GPD", "P76.DLL", Family::k76, true},
    {"RT-76", "P76.GPD", "P76.DLL", Family::k76, false},
}};

constexpr std::array<const char*, 9> kCommonDependentFiles = {
    "Receipt.ini",   "ReceiptDrv.dll", "ReceiptUI.dll", "QXCHISMPL.DLL", "QXCHITRAD.DLL",
    "QXENGLISH.DLL", "TTFSUB.GPD",     "STDNAMES.GPD",  "UNIRES.DLL"};

const char* FamilyResourceFile(Family family) {
  switch (family) {
    case Family::k80:
      return "P80.dll";
    case Family::k58:
      return "P58.dll";
    case Family::k76:
      return "P76.dll";
  }
  return "";
}

const Model* ModelAt(int position) {
  if (position < 0 || position >= kModelCount) return nullptr;
  return &kModels[static_cast<size_t>(position)];
}

}  // namespace

int32_t ModelPosition(WStringView name) {
  const WString wanted = UpperAscii(name);
  for (int i = 0; i < kModelCount; ++i) {
    if (wanted == WidenAscii(kModels[static_cast<size_t>(i)].name)) return i;
  }
  return -1;
}

WString ModelName(int32_t position) {
  const Model* model = ModelAt(position);
  return model ? WidenAscii(model->name) : WString();
}

// The catalogue's names are ASCII, which every ANSI code page maps to the same wide text.
InstallEngine::InstallEngine(const EngineServices& services) : InstallEngine(services.system) {
  services_.emplace(services);
  driverSourceFolder = WorkingFolder(services.system, services.shell);
}

InstallEngine::InstallEngine(SystemInfo& system) : osNames(kOsNames), system_(system) {
  for (int i = 0; i < kModelCount; ++i) {
    const Model& model = kModels[static_cast<size_t>(i)];
    modelNames[static_cast<size_t>(i)] = WidenAscii(model.name);
    gpdNames[static_cast<size_t>(i)] = WidenAscii(model.gpd);
    resourceDllNames[static_cast<size_t>(i)] = WidenAscii(model.resourceDll);
  }
}

std::vector<WString> InstallEngine::DependentFiles(int position) const {
  std::vector<WString> files;
  const Model* model = ModelAt(position);
  if (!model) return files;
  for (const char* name : kCommonDependentFiles) files.push_back(WidenAscii(name));
  files.push_back(WidenAscii(FamilyResourceFile(model->family)));
  return files;
}

std::optional<WString> InstallEngine::PaperName(int position) const {
  const Model* model = ModelAt(position);
  if (!model || model->family != Family::k58) return std::nullopt;
  return WString(u"RECEIPT(48mm x 297mm)");
}

uint32_t InstallEngine::Cutter(int position) const {
  const Model* model = ModelAt(position);
  return model && model->cutter ? 2 : 0;
}

WString InstallEngine::At(const std::array<WString, kCatalogueSize>& table,
                          int32_t position) const {
  if (position < 0 || position >= kCatalogueSize) return WString();
  return table[static_cast<size_t>(position)];
}

int OsNamePosition(std::string_view name) {
  for (int i = 0; i < kOsNameCount; ++i) {
    if (name == kOsNames[static_cast<size_t>(i)]) return i;
  }
  return -1;
}

}  // namespace kestrava
