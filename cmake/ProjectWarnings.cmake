# Strict warnings for the project's own targets only; third-party headers come in as system includes.
function(project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
