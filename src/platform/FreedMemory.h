#pragma once

namespace itm {

// Has every block of two megabytes or more mapped on its own, from now on,
// so that it goes back to the system when freed. By default the C library
// raises that bound after each large block freed, up to 32 MB: a register of
// millions of payers read again then grows among the holes the last reading
// left in the heap, tens of megabytes above its own peak. (A bound of one
// megabyte maps the many blocks of about that size afresh each time: a
// tenth more time for a whole register.)
void MapLargeBlocksApart();

} // namespace itm
