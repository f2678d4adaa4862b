#pragma once

// Frames and the planes computed from them are large (4 MB a 1024 x 1024 frame) and come and go in
// groups. glibc maps each such block on its own and unmaps it when it is released, so every import
// or search would fault in every page afresh, which on these machines costs more than the work on
// them. Kept in the heap, the pages of released blocks serve the next ones; a search's planes
// (150 MB or so for ten 1024 frames) stay with the process after it, so that the next search
// finds them in place. Best called first thing in `main`, before any frame is decoded: blocks
// mapped before are unmapped as before.
void keepLargeBlocksInHeap();
