# Pictures drawn at build time as raw pixels that need no decoder (content::drawnPicture reads
# them): each NAMES.svg of SVG_DIR at each of SIZES, embedded in TARGET's resources as
# :/pictures[/FOLDER]/<size>x<size>/apps/<name>.argb.
function(chenxing_draw_pictures)
  cmake_parse_arguments(P "" "TARGET;FOLDER;SVG_DIR" "SIZES;NAMES" ${ARGN})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/pictures)
  set(prefix /pictures)
  if(P_FOLDER)
    string(APPEND dir /${P_FOLDER})
    string(APPEND prefix /${P_FOLDER})
  endif()
  set(files)
  set(commands)
  set(svgs)
  foreach(name IN LISTS P_NAMES)
    foreach(size IN LISTS P_SIZES)
      list(APPEND files ${dir}/${size}x${size}/apps/${name}.argb)
    endforeach()
    list(APPEND commands COMMAND chenxing-render-icons --raw ${P_SVG_DIR}/${name}.svg ${dir} ${P_SIZES})
    list(APPEND svgs ${P_SVG_DIR}/${name}.svg)
  endforeach()
  add_custom_command(
    OUTPUT ${files}
    ${commands}
    DEPENDS chenxing-render-icons ${svgs}
    COMMENT "Drawing the pictures of ${P_TARGET}${prefix}"
    VERBATIM)
  list(GET P_SIZES 0 first_size)
  qt_add_resources(${P_TARGET} ${P_TARGET}_pictures_${P_FOLDER}${first_size}
    PREFIX ${prefix}
    BASE ${dir}
    OPTIONS --no-compress
    FILES ${files})
endfunction()
