/* Tells whether this machine runs 32-bit x86 code: it far-returns into the 32-bit user
   code segment, runs one instruction there and comes back. Exit 0 when it did; a kernel
   without 32-bit support ends it with a fault instead. 32-bit Windows programs under
   Wine need exactly this. */
#include <stdio.h>

int main(void)
{
    int r = 0;
#if defined(__x86_64__)
    __asm__ volatile(
        "lea 1f(%%rip), %%rax\n\t"
        "pushq $0x23\n\t"
        "pushq %%rax\n\t"
        "lretq\n\t"
        "1:\n\t"
        ".code32\n\t"
        "movl $42, %%ecx\n\t"
        "pushl $0x33\n\t"
        "call 2f\n\t"
        "2: addl $(3f-2b), (%%esp)\n\t"
        "lret\n\t"
        ".code64\n\t"
        "3:\n\t"
        "movl %%ecx, %0\n\t"
        : "=r"(r)
        :
        : "rax", "rcx", "memory");
#endif
    if (r != 42) return 1;
    puts("32-bit code runs");
    return 0;
}
