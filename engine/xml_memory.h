// The memory pugixml builds its trees in, kept from one part to the next: a part's tree
// takes a handful of pages of one size, given back when the part is read. Given back to the
// C library, they would leave the top of its heap free, be returned to the system and be
// fetched again, with a fault for each page of memory touched, for every document; kept
// here (a bounded number of them), the next part's tree is built in them. Any thread.
#pragma once

// Makes pugixml take its memory from here. Call before any of its documents is made; a
// second call does nothing. Any thread.
void KeepXmlMemory();
