// Reduces the key table of the current query term to its distinct keys. Search worker only.
#pragma once

// Closes up the distinct keys among the first VariantCount entries of KeyTable at its
// front, in the order of their first occurrence, and sets KeyCount (at least 1).
void RemoveDuplicateKeys();
