// The pointer stubs of gl_count: stub i adds one to gl_call_count and jumps
// to gl_pointer_targets[i]. Every stub is 16 bytes long.
        .text
        .p2align 4
        .globl gl_pointer_stubs
gl_pointer_stubs:
        .set stub, 0
        .rept 256
        .p2align 4
        incq gl_call_count(%rip)
        jmp *(gl_pointer_targets + 8 * stub)(%rip)
        .set stub, stub + 1
        .endr
        .section .note.GNU-stack,"",@progbits
