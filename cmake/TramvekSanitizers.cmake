# Sanitized native builds. TRAMVEK_SANITIZE (preset linux) runs every test
# under AddressSanitizer and UndefinedBehaviorSanitizer. TRAMVEK_TSAN (preset
# linux-tsan) runs the tests that drive one engine from several threads under
# ThreadSanitizer, which cannot share a process with AddressSanitizer.
option(TRAMVEK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TRAMVEK_TSAN "Build with ThreadSanitizer" OFF)

if(TRAMVEK_SANITIZE AND TRAMVEK_TSAN)
  message(FATAL_ERROR "TRAMVEK_SANITIZE and TRAMVEK_TSAN exclude each other: use one build for each")
endif()

if(TRAMVEK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# gcc 12's runtime stops at start ("unexpected memory mapping") on kernels with
# vm.mmap_rnd_bits above 28; Debian 12's kernels use 28.
if(TRAMVEK_TSAN)
  add_compile_options(-fsanitize=thread -O1 -g -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# The tests that run several threads over the engine: labelled thread, and
# built together by tramvek_thread_tests (all that preset linux-tsan builds).
set(TRAMVEK_THREAD_TESTS
    tramvek_engine_tests tramvek_midi_tests tramvek_params_tests tramvek_plugin_tests
    tramvek_stress_tests tramvek_editor_tests)
add_custom_target(tramvek_thread_tests)

# tramvek_thread_check(TEST): labels a thread test and builds it with the
# others; under ThreadSanitizer any report fails the test at once.
function(tramvek_thread_check name)
  if(name IN_LIST TRAMVEK_THREAD_TESTS)
    add_dependencies(tramvek_thread_tests ${name})
    tramvek_append_test_property_later(${name} LABELS thread)
  endif()
  if(TRAMVEK_TSAN)
    tramvek_append_test_property_later(${name} ENVIRONMENT TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1)
  endif()
endfunction()

# At the end of the test's folder, whose own properties may replace the
# labels. A deferred call reads variables when it runs, so the values are
# written into its code now.
function(tramvek_append_test_property_later name property value)
  cmake_language(EVAL CODE "cmake_language(DEFER CALL set_property TEST ${name} APPEND PROPERTY ${property} ${value})")
endfunction()
