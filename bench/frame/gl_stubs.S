// The pointer stubs of gl_count: stub i adds one to gl_call_count and to
// gl_pointer_calls[i] and jumps to gl_pointer_targets[i]. Each is 32 bytes.
        .text
        .p2align 5
        .globl gl_pointer_stubs
gl_pointer_stubs:
        .set stub, 0
        .rept 256
        .p2align 5
        incq gl_call_count(%rip)
        incq (gl_pointer_calls + 8 * stub)(%rip)
        jmp *(gl_pointer_targets + 8 * stub)(%rip)
        .set stub, stub + 1
        .endr
        .section .note.GNU-stack,"",@progbits
