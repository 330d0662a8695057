# Redraws both pictures into OUT and fails unless they equal the committed files byte for byte.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${TOOL} ${FONT_DIR} ${MANUAL} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_pictures failed: ${result}")
endif()
foreach(picture background.bmp help.bmp)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${picture} ${COMMITTED}/${picture}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${picture} differs from what make_pictures draws; run the update_pictures target")
  endif()
endforeach()
