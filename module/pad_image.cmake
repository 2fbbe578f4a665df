# Pads a built module with zero bytes to exactly SIZE bytes: OUT = IN + zeros.
# Fails when the module is already larger, since every module file places the
# design block at the image size.
file(SIZE ${IN} actual)
if(actual GREATER SIZE)
  message(FATAL_ERROR "The vessel module ${IN} is ${actual} bytes, larger than the "
                      "${SIZE} bytes of a module image; make it smaller.")
endif()
file(COPY_FILE ${IN} ${OUT}.tmp)
execute_process(COMMAND truncate -s ${SIZE} ${OUT}.tmp RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Could not pad ${OUT} to ${SIZE} bytes.")
endif()
file(RENAME ${OUT}.tmp ${OUT})
