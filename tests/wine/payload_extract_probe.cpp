// Unpacks the payload packed behind this program's own file with the Win32 services, as the
// program's worker does at start, writes a line of the support log, and exits with 0 when
// payloadExtracted ends up true, 1 when it does not. The unpacked tree and its rights are
// checked from outside (payload_extract_check.sh, working_folder_rights_check.sh).
#include <atomic>
#include <cstdio>

#include "app/support_log.h"
#include "payload/payload_extraction.h"
#include "payload/working_folder.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/file_security_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_info_win32.h"

int main() {
  kestrava::Win32Files files;
  kestrava::Win32SystemInfo system;
  kestrava::Win32Process process;
  kestrava::Win32FileSecurity security;
  kestrava::Win32Shell shell;
  kestrava::Win32Clock clock;
  const kestrava::WString folder = kestrava::WorkingFolder(system, shell);
  kestrava::PayloadExtraction extraction(files, system, process, security, folder);
  std::atomic<bool> payloadExtracted{false};
  kestrava::PayloadWorker(extraction, payloadExtracted);
  kestrava::SupportLog(files, clock, folder).Line(u"payload probe: unpacked");
  std::printf("payloadExtracted=%s\n", payloadExtracted ? "true" : "false");
  return payloadExtracted ? 0 : 1;
}
