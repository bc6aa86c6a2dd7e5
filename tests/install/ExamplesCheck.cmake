# Runs the examples in WORK_DIR: the chart and the widget each write their PNG
# file, the thumbnailer shrinks the chart and JPEG photos, and refuses bad input with status
# 1, one line on standard error and no file. Included by InstallCheck.cmake,
# which builds them into WORK_DIR, or run with -P on those of the build tree.
# In: WORK_DIR, and EXAMPLES_DIR where the programs are (WORK_DIR by default).
cmake_minimum_required(VERSION 3.25)
if(NOT COMMAND run)
  file(REMOVE_RECURSE ${WORK_DIR})
  file(MAKE_DIRECTORY ${WORK_DIR})
  include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)
endif()
if(NOT DEFINED EXAMPLES_DIR)
  set(EXAMPLES_DIR ${WORK_DIR})
endif()

# The width and height in a PNG file's header, or a fatal error when the
# file does not start as a PNG file.
function(png_size file result)
  file(READ ${file} header LIMIT 24 HEX)
  if(NOT header MATCHES "^89504e470d0a1a0a0000000d49484452(........)(........)$")
    message(FATAL_ERROR "${file} is not a PNG file")
  endif()
  math(EXPR width "0x${CMAKE_MATCH_1}")
  math(EXPR height "0x${CMAKE_MATCH_2}")
  set(${result} "${width}x${height}" PARENT_SCOPE)
endfunction()

foreach(example chart widget)
  file(REMOVE ${WORK_DIR}/${example}.png)
  run(${EXAMPLES_DIR}/${example} ${example}.png)
  png_size(${WORK_DIR}/${example}.png size)
endforeach()

# 1.5 x 400 = 600 wide, 400 x 400 / 600 = 266.7 high.
png_size(${WORK_DIR}/chart.png size)
if(NOT size STREQUAL "600x400")
  message(FATAL_ERROR "the chart is ${size}, not 600x400")
endif()
run(${EXAMPLES_DIR}/thumbnail chart.png thumbnail.png 400)
png_size(${WORK_DIR}/thumbnail.png size)
if(NOT size STREQUAL "400x267")
  message(FATAL_ERROR "the thumbnail of a 600x400 chart in a 400 box is ${size}, not 400x267")
endif()

# A JPEG photo made by libjpeg-turbo's cjpeg from a 120 x 80 picture written
# here, as it is and with an Exif orientation of 6 (a quarter turn): the
# thumbnails are 64 x 43 and, upright, 43 x 64. Cut short, it is refused.
find_program(CJPEG cjpeg)
if(NOT CJPEG)
  message(STATUS "JPEG thumbnails not checked: cjpeg (libjpeg-turbo-progs) is missing")
else()
  execute_process(COMMAND python3 -c "
rows = bytearray()
for y in range(80):
    for x in range(120):
        rows += bytes((x * 2, y * 3, 255 if (x // 4 + y // 4) % 2 else 0))
open('photo.ppm', 'wb').write(b'P6 120 80 255\\n' + bytes(rows))
" WORKING_DIRECTORY ${WORK_DIR})
  run(${CJPEG} -quality 90 -outfile photo.jpg photo.ppm)
  execute_process(COMMAND python3 -c "
import struct
data = open('photo.jpg', 'rb').read()
entry = struct.pack('>HHIHH', 0x0112, 3, 1, 6, 0)
tiff = b'MM' + struct.pack('>HI', 42, 8) + struct.pack('>H', 1) + entry + struct.pack('>I', 0)
app1 = b'Exif\\0\\0' + tiff
open('turned.jpg', 'wb').write(data[:2] + b'\\xff\\xe1' + struct.pack('>H', len(app1) + 2) + app1 + data[2:])
open('cut.jpg', 'wb').write(data[:len(data) // 2])
" WORKING_DIRECTORY ${WORK_DIR})
  foreach(photo "photo.jpg|64x43" "turned.jpg|43x64")
    string(REPLACE "|" ";" fields "${photo}")
    list(GET fields 0 input)
    list(GET fields 1 wanted)
    run(${EXAMPLES_DIR}/thumbnail ${input} ${input}.png 64)
    png_size(${WORK_DIR}/${input}.png size)
    if(NOT size STREQUAL wanted)
      message(FATAL_ERROR "the thumbnail of ${input} in a 64 box is ${size}, not ${wanted}")
    endif()
  endforeach()
  execute_process(COMMAND ${EXAMPLES_DIR}/thumbnail cut.jpg cut.png 64 WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 1 OR NOT error MATCHES "^thumbnail: cut.jpg: Premature end of JPEG file\n$" OR
     EXISTS ${WORK_DIR}/cut.png)
    message(FATAL_ERROR "thumbnail cut.jpg: status ${status}, wanted 1, the decoder's message and no file\n${error}")
  endif()
endif()

# Damaged input: cut short, and one byte of image data changed (a checksum
# mismatch).
file(SIZE ${WORK_DIR}/chart.png bytes)
math(EXPR half "${bytes} / 2")
execute_process(COMMAND head -c ${half} chart.png OUTPUT_FILE truncated.png WORKING_DIRECTORY ${WORK_DIR})
file(COPY_FILE ${WORK_DIR}/chart.png ${WORK_DIR}/corrupt.png)
file(READ ${WORK_DIR}/chart.png byte OFFSET ${half} LIMIT 1 HEX)
if(byte STREQUAL "00")
  set(other "\\001")
else()
  set(other "\\000")
endif()
execute_process(COMMAND sh -c "printf '${other}' | dd of=corrupt.png bs=1 seek=${half} conv=notrunc status=none"
                WORKING_DIRECTORY ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/folder.png)

# A file whose compressed data is damaged while every chunk's checksum is
# right: the IDAT chunk's first data byte (zlib's method byte) changed and
# its checksum computed again.
execute_process(COMMAND python3 -c "
import struct, zlib, sys
data = bytearray(open('chart.png', 'rb').read())
at = data.index(b'IDAT')
length = struct.unpack('>I', data[at - 4:at])[0]
data[at + 4] ^= 0x0F
data[at + 4 + length:at + 8 + length] = struct.pack('>I', zlib.crc32(data[at:at + 4 + length]))
open('zlib.png', 'wb').write(data)
" WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE made)
# A header claiming 10^6 x 10^6 pixels, checksum right.
execute_process(COMMAND python3 -c "
import struct, zlib
header = b'IHDR' + struct.pack('>IIBBBBB', 1000000, 1000000, 8, 6, 0, 0, 0)
open('huge.png', 'wb').write(b'\\x89PNG\\r\\n\\x1a\\n' + struct.pack('>I', 13) + header + struct.pack('>I', zlib.crc32(header)))
" WORKING_DIRECTORY ${WORK_DIR})
# Every refusal is the library's own message, reported by the program.
set(refusals
  "missing.png|out.png|64|missing.png: File could not be opened for reading."
  "truncated.png|out.png|64|truncated.png: "
  "corrupt.png|out.png|64|corrupt.png: "
  "zlib.png|out.png|64|zlib.png: "
  "huge.png|out.png|64|huge.png: "
  "${CMAKE_CURRENT_LIST_DIR}/palette.png|out.png|64|palette.png: The image format is not supported."
  "folder.png|out.png|64|folder.png: File is not recognized as a PNG file."
  "chart.png|no-such-directory/out.png|64|no-such-directory/out.png: The file could not be opened for writing"
  "chart.png|folder.png|64|folder.png: The file could not be opened for writing"
  "chart.png|out.png|0|bad SIZE '0'"
  "chart.png|out.png|4097|bad SIZE '4097'"
  "chart.png|out.png|64px|bad SIZE '64px'"
  "chart.png|out.png|99999999999999999999|bad SIZE"
  "chart.png|out.png||bad SIZE ''")
foreach(refusal IN LISTS refusals)
  string(REPLACE "|" ";" fields "${refusal}")
  list(GET fields 0 input)
  list(GET fields 1 output)
  list(GET fields 2 box)
  list(GET fields 3 expected)
  execute_process(COMMAND ${EXAMPLES_DIR}/thumbnail ${input} ${output} "${box}" WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE error)
  if(NOT status EQUAL 1 OR NOT error MATCHES "^thumbnail: [^\n]*${expected}[^\n]*\n$" OR
     (EXISTS ${WORK_DIR}/${output} AND NOT IS_DIRECTORY ${WORK_DIR}/${output}))
    message(FATAL_ERROR "thumbnail ${input} ${output} '${box}': status ${status}, wanted 1 and the one line "
                        "'${expected}' on standard error and no file\n${out}${error}")
  endif()
endforeach()
