# Prints the end of one test's own output from ctest's LastTest.log, with its
# time and verdict: CI shows only the end of the whole log, so the summary
# must carry why a test failed, not only its name.
#   awk -v name=TEST -v keep=15 -f failed_output.awk LastTest.log
$0 ~ /^[0-9]+\/[0-9]+ Test: / && substr($0, index($0, "Test: ") + 6) == name { state = 1; n = 0; next }
state == 1 && $0 == "Output:" { state = 2; getline; next }
state == 2 && $0 == "<end of output>" { state = 3; next }
state == 2 { lines[n++] = $0; next }
state == 3 && /^Test time/ { time = $0; next }
state == 3 && /^Test / {
    first = n > keep ? n - keep : 0
    for (i = first; i < n; i++) print "      | " substr(lines[i], 1, 300)
    print "      " time ", " $0
    state = 0
}
