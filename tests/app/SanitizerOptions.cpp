// Options of the leak checker for the tests that read language files.
//
// GNU's PO library leaks inside every read: the lexer keeps a copy of the file name it never
// frees, and the parser drops the tokens of a syntax error without freeing them. Those two
// allocations are suppressed by the library functions that make them; finding these functions
// needs full stacks at allocation, since the library is built without frame pointers. Any other
// leak, such as a PO file or message list the program forgets to free, is still reported.

extern "C" {

const char* __asan_default_options();
const char* __lsan_default_suppressions();

const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

const char* __lsan_default_suppressions() {
    return "leak:libgettextpo_lex_start\n"
           "leak:libgettextpo_po_gram_lex\n";
}
}
