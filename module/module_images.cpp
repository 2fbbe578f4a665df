// module_images: the padded module files, included as read-only data.
#include "module_images.h"

// The assembler copies each file in verbatim; start and end symbols bound it.
asm(".section .rodata\n"
    ".balign 16\n"
    "vrkdll_image_pm_start:\n"
    ".incbin \"" VRKDLL_PM_FILE "\"\n"
    "vrkdll_image_pm_end:\n"
    ".balign 16\n"
    "vrkdll_image_plain_start:\n"
    ".incbin \"" VRKDLL_PLAIN_FILE "\"\n"
    "vrkdll_image_plain_end:\n"
    ".previous\n");

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
