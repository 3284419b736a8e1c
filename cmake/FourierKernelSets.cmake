# The vector kernels of the Fourier transforms: one source, written against
# xsimd, compiled once per instruction set of the target processor family, each
# copy in a namespace of its own (SPL_KERNEL_SET). FourierKernels.cpp picks a
# copy at run time from what the processor reports.

# xsimd is header-only and sits in /usr/include, which cross compilers do not
# search: the kernels get a folder of their own holding only xsimd's headers.
include(${PROJECT_SOURCE_DIR}/cmake/HostHeaders.cmake)
host_header_folder(_xsimd_only xsimd xsimd.hpp libxsimd-dev)

# spl_add_fourier_kernel_sets(<library> <source>)
function(spl_add_fourier_kernel_sets library source)
  set(_sets)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    # SSE2 is the x86-64 baseline: no flag needed.
    set(_sets sse2 avx2 avx512)
    set(_flags_avx2 -mavx2 -mfma)
    set(_flags_avx512 -mavx512f -mavx2 -mfma)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
    # Advanced SIMD (NEON) is part of AArch64.
    set(_sets neon)
  endif()
  foreach(_set ${_sets})
    set(_flags ${_flags_${_set}})
    set(_target ${library}_kernels_${_set})
    add_library(${_target} OBJECT ${source})
    set_target_properties(${_target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${_target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_include_directories(${_target} SYSTEM PRIVATE ${_xsimd_only})
    target_compile_definitions(${_target} PRIVATE SPL_KERNEL_SET=${_set})
    target_compile_options(${_target} PRIVATE ${_flags})
    if(MINGW)
      # 64-bit Windows aligns the stack to 16 bytes only; GCC does not realign
      # it for the 32- and 64-byte vectors it spills, so every aligned vector
      # move is assembled as an unaligned one.
      target_compile_options(${_target} PRIVATE -Wa,-muse-unaligned-vector-move)
    endif()
    target_link_libraries(${_target} PRIVATE spl_options)
    target_sources(${library} PRIVATE $<TARGET_OBJECTS:${_target}>)
  endforeach()
endfunction()
