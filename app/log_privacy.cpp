#include "app/log_privacy.h"

namespace kestrava {

WString WithFolderNamed(WStringView line, WStringView folder, WStringView name) {
  WString out;
  if (folder.empty()) return WString(line);
  for (size_t start = 0;;) {
    const size_t found = line.find(folder, start);
    if (found == WStringView::npos) {
      out.append(line.substr(start));
      return out;
    }
    out.append(line.substr(start, found - start));
    out.append(name);
    start = found + folder.size();
  }
}

}  // namespace kestrava
