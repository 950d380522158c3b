#include "platform/win32/icmp_win32.h"

#include <vector>

#include "platform/win32/ip_helper_library.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

struct IcmpHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { win32::iphelp::IcmpCloseHandle(h); }
};
using ScopedIcmpHandle = win32::Scoped<IcmpHandleTraits>;

class Win32IcmpFacility final : public IcmpFacility {
 public:
  explicit Win32IcmpFacility(ScopedIcmpHandle handle) : handle_(std::move(handle)) {}

  uint32_t SendEcho(uint32_t address, const void* data, uint16_t size, uint32_t replyCapacity,
                    uint32_t timeoutMs) override {
    // The call takes the request data as writable memory: hand it a copy.
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> request(bytes, bytes + size);
    std::vector<unsigned char> reply(replyCapacity, 0);
    return win32::iphelp::IcmpSendEcho(handle_.Get(), htonl(address), request.data(), size, nullptr,
                                       reply.data(), replyCapacity, timeoutMs);
  }

 private:
  ScopedIcmpHandle handle_;
};

}  // namespace

std::unique_ptr<IcmpFacility> Win32Icmp::Open() {
  ScopedIcmpHandle handle(win32::iphelp::IcmpCreateFile());
  if (!handle) return nullptr;
  return std::make_unique<Win32IcmpFacility>(std::move(handle));
}

}  // namespace kestrava
