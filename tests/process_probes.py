"""Facts about the test process that change what a memory check can expect."""

import ctypes

# AddressSanitizer keeps freed memory in quarantine, so resident memory grows
# under it whether or not anything leaks.
UNDER_ADDRESS_SANITIZER = hasattr(ctypes.CDLL(None), "__asan_init")
