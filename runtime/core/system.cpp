#include "core/system.h"

#include <sys/utsname.h>

#include <cerrno>
#include <map>

#include "core/error.h"
#include "core/text.h"

namespace xb {
namespace {

constexpr int kMajor = 2, kMinor = 0, kBuild = 17;

struct SystemState {
  std::string appName = "quorvel";
  int appType = 3;
  uint32_t reportedVersion = 0;
  std::map<std::string, Value, ILess> memvars;
};
SystemState& sys() {
  static SystemState s;
  return s;
}

}  // namespace

std::string AppName(bool withPath) {
  const std::string& full = sys().appName;
  if (withPath) return full;
  auto slash = full.find_last_of('/');
  return slash == std::string::npos ? full : full.substr(slash + 1);
}
void setAppName(std::string fullPath) { sys().appName = std::move(fullPath); }

int AppType() { return sys().appType; }
void setAppType(int type) { sys().appType = type; }

std::string Version(int component) {
  switch (component) {
    case 1: return std::to_string(kMajor);
    case 2: return std::to_string(kMinor);
    case 3: return std::to_string(kBuild);
  }
  return std::to_string(kMajor) + "." + std::to_string(kMinor);
}

uint32_t runtimeVersionNumber() {
  if (sys().reportedVersion) return sys().reportedVersion;
  return (uint32_t{kMajor} << 24) | (uint32_t{kMinor} << 16) | uint32_t{kBuild};
}
void setReportedVersionForTesting(uint32_t version) { sys().reportedVersion = version; }

std::string OS() {
  utsname u{};
  if (uname(&u) != 0) return "Linux";
  return std::string(u.sysname) + " " + u.release + " " + u.machine;
}

int osCodeOfErrno(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EISDIR: return 5;
    case EBADF: return 6;
    case ENOMEM: return 8;
    case EROFS: return 19;
    case EIO: return 23;
    case EBUSY:
    case ETXTBSY: return 32;
    case EAGAIN:
    case EDEADLK: return 33;
    case EEXIST: return 80;
    case EINVAL: return 87;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return 112;
    case ENAMETOOLONG: return 206;
  }
  return 31;
}

std::string DosErrorMessage(int osCode) {
  static const std::map<int, const char*> kTexts = {
      {0, "Kein Fehler"},
      {2, "Datei nicht gefunden"},
      {3, "Pfad nicht gefunden"},
      {4, "Zu viele offene Dateien"},
      {5, "Zugriff verweigert"},
      {6, "Ungültiges Handle"},
      {8, "Nicht genügend Speicher"},
      {19, "Datenträger ist schreibgeschützt"},
      {23, "Datenfehler beim Lesen oder Schreiben"},
      {31, "Ein an das System angeschlossenes Gerät funktioniert nicht"},
      {32, "Die Datei wird von einem anderen Prozess verwendet"},
      {33, "Ein anderer Prozess hat einen Teil der Datei gesperrt"},
      {80, "Die Datei existiert bereits"},
      {87, "Falscher Parameter"},
      {112, "Nicht genügend Speicherplatz auf dem Datenträger"},
      {206, "Dateiname oder Erweiterung ist zu lang"},
  };
  auto it = kTexts.find(osCode);
  if (it == kTexts.end()) return cp("Unbekannter Fehler ") + std::to_string(osCode);
  return cp(it->second);
}

bool MemVarExists(std::string_view name) { return sys().memvars.count(name) != 0; }

Value MemVarGet(std::string_view name) {
  auto it = sys().memvars.find(name);
  if (it != sys().memvars.end()) return it->second;
  auto e = makeError(gen::kNoMember, "Variable does not exist: " + std::string(name), std::string(name));
  e->canSubstitute = true;
  return substituteError(e);
}

void MemVarPut(std::string_view name, const Value& v) {
  auto it = sys().memvars.find(name);
  if (it != sys().memvars.end()) it->second = v;
  else sys().memvars.emplace(std::string(name), v);
}

void MemVarRelease(std::string_view name) {
  auto it = sys().memvars.find(name);
  if (it != sys().memvars.end()) sys().memvars.erase(it);
}

void MemVarClear() { sys().memvars.clear(); }

}  // namespace xb
