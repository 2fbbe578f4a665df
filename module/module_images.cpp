// module_images: the padded module files, included as read-only data.
#include "module_images.h"

// The assembler copies each file in verbatim; start and end symbols bound it.
// Windows objects name their read-only section differently, and 32-bit Windows
// puts "_" in front of every C name.
#ifdef _WIN32
#define IMAGE_SECTION ".section .rdata,\"dr\"\n"
#define PREVIOUS_SECTION ".text\n"
#else
#define IMAGE_SECTION ".section .rodata\n"
#define PREVIOUS_SECTION ".previous\n"
#endif
#define TEXT_OF(x) #x
#define PREFIXED(prefix, name) TEXT_OF(prefix) #name
#define LABEL(name) PREFIXED(__USER_LABEL_PREFIX__, name) ":\n"

asm(IMAGE_SECTION
    ".balign 16\n"
    LABEL(vrkdll_image_pm_start)
    ".incbin \"" VRKDLL_PM_FILE "\"\n"
    LABEL(vrkdll_image_pm_end)
    ".balign 16\n"
    LABEL(vrkdll_image_plain_start)
    ".incbin \"" VRKDLL_PLAIN_FILE "\"\n"
    LABEL(vrkdll_image_plain_end)
    PREVIOUS_SECTION);

extern "C" const uint8_t vrkdll_image_pm_start[], vrkdll_image_pm_end[];
extern "C" const uint8_t vrkdll_image_plain_start[], vrkdll_image_plain_end[];

module_image module_image_pm() {
  return {vrkdll_image_pm_start, static_cast<size_t>(vrkdll_image_pm_end - vrkdll_image_pm_start)};
}

module_image module_image_plain() {
  return {vrkdll_image_plain_start,
          static_cast<size_t>(vrkdll_image_plain_end - vrkdll_image_plain_start)};
}

module_image module_image_for(bool payload_manager) {
  return payload_manager ? module_image_pm() : module_image_plain();
}
