#pragma once

namespace stowline::xml {

// Turns the references &lt;, &gt; and &amp; in [begin, end) back into <, > and &, in one
// left-to-right pass and in place; returns the new end. Each replacement is one character
// other than "&", so the pass never makes a reference it would then turn back: the same as
// replacing &lt;, then &gt;, then &amp; in three passes. For UTF-8 and for UTF-16 text.
char* turnBackReferences(char* begin, char* end);
char16_t* turnBackReferences(char16_t* begin, char16_t* end);

} // namespace stowline::xml
