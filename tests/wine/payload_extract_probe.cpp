// Unpacks the payload packed behind this program's own file with the Win32 services, as the
// program's worker does at start, and exits with 0 when payloadExtracted ends up true, 1 when
// it does not. The unpacked tree is checked from outside (payload_extract_check.sh).
#include <atomic>
#include <cstdio>

#include "payload/payload_extraction.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/system_info_win32.h"

int main() {
  kestrava::Win32Files files;
  kestrava::Win32SystemInfo system;
  kestrava::Win32Process process;
  kestrava::PayloadExtraction extraction(files, system, process);
  std::atomic<bool> payloadExtracted{false};
  kestrava::PayloadWorker(extraction, payloadExtracted);
  std::printf("payloadExtracted=%s\n", payloadExtracted ? "true" : "false");
  return payloadExtracted ? 0 : 1;
}
