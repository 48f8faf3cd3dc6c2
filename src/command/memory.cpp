// Platform door: the C library's allocator settings.
#include "command/memory.hpp"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace kavelin::command {

void KeepFreedMemoryForReuse() {
#if defined(M_TRIM_THRESHOLD) && defined(M_MMAP_THRESHOLD)
  // Keep up to 64 MB freed at the heap's top, and take blocks up to 32 MB (the most the
  // library allows) from the heap rather than mapping each one afresh. Only pictures near
  // the 4096 x 4096 limit are larger.
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

}  // namespace kavelin::command
