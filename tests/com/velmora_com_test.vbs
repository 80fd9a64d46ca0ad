' The Velmora COM server driven the way a VBScript MES client drives it (run by 64- or 32-bit cscript
' under Wine, see scripts/test-windows.sh).
'
'   cscript //nologo velmora_com_test.vbs PART LOTS_CSV OUT_FOLDER
'
' The home is %VELMORA_HOME%, else the registry value HKCU\Software\Velmora\Home, as for the server.
' PART "demo": every scenario of LOTS_CSV (plus two clean runs of ScenarioList) on the home
'   twice, once with the shipped Velmora.MesDatabase and Velmora.TraceLog (mode "sqlite") and once
'   with the MES database and trace written below as VBScript classes (mode "host"); then the tables of single checks (errors reaching the caller, DataSet, records,
'   configuration reader, trace file).
' PART "odbc": the scenarios once more on the home, whose databases are reached over ODBC (mode
'   "odbc").
' PART "installed": every ProgID, and the first scenario in mode "sqlite" (an installed server).
'
' Each check run prints one line "JSON <object>": the object `velmora check --format json` prints,
' plus "mode" and "trace" (the entries the run's trace received); tests/com/compare_json.py
' compares them with the Linux command's. The last lines are the number of errors the host objects
' raised and "N passed, 0 failed" when every single check held. Wine's VBScript has no Execute, Eval, ChrW or Join and cannot include another file:
' hence one file, and Select Case dispatchers where a table row needs code.
Option Explicit

Dim passed, failed: passed = 0: failed = 0
' Errors the host objects below raised to the server (a record set read past its end, a field it
' lacks), as ADO's would: the server traps them as data that answered unfit. Wine's cscript reports
' each on standard error as a script error, so the last line says how many to expect there.
Dim hostRaised: hostRaised = 0

Sub Check(label, got, want)
  If CStr(got) = CStr(want) Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL " & label & ": got [" & got & "] want [" & want & "]"
  End If
End Sub

' ---------------------------------------------------------------------------------------------
' JSON output

Function JsonText(s)
  Dim i, c, code, out
  out = ""
  For i = 1 To Len(s)
    c = Mid(s, i, 1)
    code = Asc(c)
    If c = """" Then
      out = out & "\"""
    ElseIf c = "\" Then
      out = out & "\\"
    ElseIf code >= 0 And code < 32 Then
      out = out & "\u00" & Right("0" & Hex(code), 2)
    Else
      out = out & c
    End If
  Next
  JsonText = """" & out & """"
End Function

Function JsonPair(name, value)
  JsonPair = JsonText(name) & ":" & JsonText(CStr(value))
End Function

' The facts of a finished run in the shape of `velmora check --format json`, up to the trace.
Function ReportJson(mode, chk, result)
  Dim out, i, rec
  out = "{" & JsonPair("mode", mode) & "," & JsonPair("lot", chk.LotID) & "," & _
        JsonPair("step", chk.StepID) & "," & JsonPair("result", result) & ",""flags"":{" & _
        JsonPair("IsEDCItem", chk.IsEDCItem) & "," & JsonPair("IsEDCCollect", chk.IsEDCCollect) & "," & _
        JsonPair("IsEDCFail", chk.IsEDCFail) & "," & JsonPair("IsAUGItem", chk.IsAUGItem) & "," & _
        JsonPair("IsAUGCollect", chk.IsAUGCollect) & "," & JsonPair("IsAUGFail", chk.IsAUGFail) & "}," & _
        JsonPair("LotDevReasons", chk.LotDevReasons) & "," & _
        JsonPair("TimeVersionSysid", chk.TimeVersionSysid) & ",""records"":["
  For i = 1 To chk.Count
    Set rec = chk.Item(i)
    If i > 1 Then out = out & ","
    out = out & "{" & JsonPair("ItemName", rec.ItemName) & "," & _
          JsonPair("CollectType", rec.CollectType) & "," & JsonPair("WaferID", rec.WaferID) & "," & _
          JsonPair("WaferSEQ", rec.WaferSEQ) & "," & JsonPair("EQPID", rec.EQPID) & "," & _
          JsonPair("TA", rec.TA) & "," & JsonPair("WaferYield", rec.WaferYield) & "," & _
          JsonPair("LotYield", rec.LotYield) & "," & JsonPair("Reasons", rec.Reasons) & "}"
  Next
  ReportJson = out & "]"
End Function

' ---------------------------------------------------------------------------------------------
' A host's own MES database and trace: every value the component reads passes through VBScript
' variants, and every call into them is late-bound from the server.

Class HostField
  Public Name
  Public Value
End Class

' The current row's fields: Item (the default member) by name, without regard to case, or by
' index from 0; a missing one is the error a record set raises.
Class HostFields
  Private rs_
  Public Sub Init(rs): Set rs_ = rs: End Sub
  Public Property Get Count(): Count = rs_.FieldCount: End Property
  Public Default Property Get Item(key)
    Dim index
    If VarType(key) = vbString Then
      index = rs_.FindField(key)
    Else
      index = CLng(key)
      If index < 0 Or index >= rs_.FieldCount Then index = -1
    End If
    If index < 0 Then
      hostRaised = hostRaised + 1: Err.Raise 3265, "HostFields", "Item cannot be found in the collection corresponding to " & _
                "the requested name or ordinal.: " & key
    End If
    Dim f: Set f = New HostField
    f.Name = rs_.FieldName(index)
    f.Value = rs_.FieldValue(index)
    Set Item = f
  End Property
End Class

' A forward-only record set holding copies of another record set's rows.
Class HostRecordset
  Private names_
  Private rows_
  Private rowCount_
  Private pos_

  Public Sub Load(rs)
    Dim fields, n, i, row
    Set fields = rs.Fields
    n = fields.Count
    ReDim names_(n)
    For i = 0 To n - 1
      names_(i) = fields.Item(i).Name
    Next
    ReDim rows_(16)
    rowCount_ = 0
    Do While Not rs.EOF
      ReDim row(n)
      For i = 0 To n - 1
        row(i) = rs.Fields.Item(i).Value
      Next
      If rowCount_ > UBound(rows_) Then ReDim Preserve rows_(2 * rowCount_)
      rows_(rowCount_) = row
      rowCount_ = rowCount_ + 1
      rs.MoveNext
    Loop
    pos_ = 0
  End Sub

  Public Property Get FieldCount(): FieldCount = UBound(names_): End Property
  Public Function FieldName(i): FieldName = names_(i): End Function
  Public Function FindField(name)
    Dim i
    FindField = -1
    For i = 0 To UBound(names_) - 1
      If LCase(names_(i)) = LCase(name) Then FindField = i: Exit Function
    Next
  End Function
  Public Function FieldValue(i)
    If EOF Then hostRaised = hostRaised + 1: Err.Raise 3021, "HostRecordset", "Either BOF or EOF is True, or the current " & _
      "record has been deleted. Requested operation requires a current record."
    FieldValue = rows_(pos_)(i)
  End Function

  Public Property Get EOF(): EOF = (pos_ >= rowCount_): End Property
  Public Property Get Fields()
    Dim f: Set f = New HostFields
    f.Init Me
    Set Fields = f
  End Property
  Public Sub MoveNext()
    If EOF Then hostRaised = hostRaised + 1: Err.Raise 3021, "HostRecordset", "Either BOF or EOF is True, or the current " & _
      "record has been deleted. Requested operation requires a current record."
    pos_ = pos_ + 1
  End Sub
End Class

' The host's MES database: answers each statement from a Velmora.MesDatabase, copied row by row.
Class HostMes
  Private db_
  Public Statements
  Public Sub Init(db): Set db_ = db: Statements = 0: End Sub
  Public Function ExecuteQuery(sql)
    Statements = Statements + 1
    Dim rs: Set rs = New HostRecordset
    rs.Load db_.ExecuteQuery(sql)
    Set ExecuteQuery = rs
  End Function
  Public Function SelectRecords(tables, columns, condition, extra)
    Statements = Statements + 1
    Dim rs: Set rs = New HostRecordset
    rs.Load db_.SelectRecords(tables, columns, condition, extra)
    Set SelectRecords = rs
  End Function
End Class

' The host's trace: keeps the entries (as JSON texts) that the shipped trace would write.
Class HostTrace
  Public Json
  Public Entries
  Private Sub Class_Initialize(): Json = "": Entries = 0: End Sub
  Public Property Get TraceLevel(): TraceLevel = 5: End Property
  Public Sub WriteTrace(level, text)
    If level <= 0 Or level > 5 Then Exit Sub
    If Entries > 0 Then Json = Json & ","
    Json = Json & JsonText(text)
    Entries = Entries + 1
  End Sub
End Class

' An object with none of the members of an MES database or a trace.
Class Bare
  Public Unrelated
End Class

' ---------------------------------------------------------------------------------------------
' Helpers

Dim fso: Set fso = CreateObject("Scripting.FileSystemObject")
Dim shell: Set shell = CreateObject("WScript.Shell")
Dim home: home = ConfiguredHome()

' Where the server looks for its home: VELMORA_HOME, else HKCU\Software\Velmora\Home.
Function ConfiguredHome()
  ' Wine's ExpandEnvironmentStrings counts the terminating NUL into the text it returns.
  ConfiguredHome = Replace(shell.ExpandEnvironmentStrings("%VELMORA_HOME%"), Chr(0), "")
  If ConfiguredHome = "%VELMORA_HOME%" Then
    On Error Resume Next
    ConfiguredHome = shell.RegRead("HKCU\Software\Velmora\Home")
    If Err.Number <> 0 Then ConfiguredHome = ""
    On Error GoTo 0
  End If
End Function

' The entries of a trace file as JSON texts (each line without its timestamp).
Function TraceFileJson(path)
  Dim f, all, lines, i, line, out
  out = ""
  If fso.FileExists(path) Then
    Set f = fso.OpenTextFile(path, 1)
    If Not f.AtEndOfStream Then all = f.ReadAll Else all = ""
    f.Close
    lines = Split(Replace(all, vbCr, ""), vbLf)
    For i = 0 To UBound(lines)
      line = lines(i)
      If line <> "" Then
        If out <> "" Then out = out & ","
        out = out & JsonText(Mid(line, InStr(line, " ") + 1))
      End If
    Next
  End If
  TraceFileJson = out
End Function

Function ScenarioList(csvPath)
  Dim f, line, parts, list, n, i
  ReDim list(64)
  n = 0
  Set f = fso.OpenTextFile(csvPath, 1)
  Do While Not f.AtEndOfStream
    line = Trim(Replace(f.ReadLine, vbCr, ""))
    If line <> "" And Left(line, 1) <> "#" And line <> "lot,step" Then
      parts = Split(line, ",")
      list(n) = Array(parts(0), parts(1))
      n = n + 1
    End If
  Loop
  f.Close
  ' Lots and steps without a collection: clean runs the command must print the same way.
  Dim extra: extra = Array(Array("LOT-A01", "S-IQC-010"), Array("LOT-A01", "S-NO-SUCH-STEP"))
  For i = 0 To UBound(extra)
    list(n) = extra(i)
    n = n + 1
  Next
  ReDim Preserve list(n - 1)
  ScenarioList = list
End Function

Function OpenHomeDatabase()
  Dim db: Set db = CreateObject("Velmora.MesDatabase")
  db.OpenHome home
  Set OpenHomeDatabase = db
End Function

' One check run as an MES client makes it, on a fresh check object; returns its JSON up to the
' trace.
Function RunScenario(mode, lot, stp, db, tr)
  Dim chk: Set chk = CreateObject("Velmora.Abnormals")
  Set chk.MESDB = db
  Set chk.LogTrace = tr
  chk.LotID = lot
  chk.StepID = stp
  Check mode & " " & lot & " at " & stp & ": preExecute", chk.preExecute, "ok"
  Dim result: result = chk.Execute
  RunScenario = ReportJson(mode, chk, result)
End Function

Sub RunShippedObjects(mode, scenarios, outFolder)
  Dim i, tr, traceFile, json
  Dim db: Set db = OpenHomeDatabase()
  For i = 0 To UBound(scenarios)
    traceFile = outFolder & "\" & mode & "-" & i & ".trace"
    Set tr = CreateObject("Velmora.TraceLog")
    tr.Open traceFile, 5
    json = RunScenario(mode, scenarios(i)(0), scenarios(i)(1), db, tr)
    Set tr = Nothing   ' closes the file before it is read
    WScript.Echo "JSON " & json & ",""trace"":[" & TraceFileJson(traceFile) & "]}"
  Next
End Sub

Sub RunHostObjects(scenarios)
  Dim i, tr, entries
  Dim inner: Set inner = CreateObject("Velmora.MesDatabase")
  inner.Open "sqlite:mes.db"   ' taken against the configured home
  Dim db: Set db = New HostMes
  db.Init inner
  entries = 0
  For i = 0 To UBound(scenarios)
    Set tr = New HostTrace
    WScript.Echo "JSON " & RunScenario("host", scenarios(i)(0), scenarios(i)(1), db, tr) & _
                 ",""trace"":[" & tr.Json & "]}"
    entries = entries + tr.Entries
  Next
  Check "host MES database answered statements", db.Statements > 100, True
  Check "host trace received entries", entries > 100, True
End Sub

' ---------------------------------------------------------------------------------------------
' Errors that reach the caller: the numbers and descriptions of the Linux build.

Dim errChk, errSet   ' a check object after LOT-A01 at S-FQC-100 (13 records), a DataSet of A, B

' Runs the action of one error row; the caller reads Err.
Sub ErrorAction(name)
  Dim r
  Select Case name
    Case "Item past the end": Set r = errChk.Item(14)
    Case "Item 0": Set r = errChk.Item(0)
    Case "Item by a text key": Set r = errChk.Item("1")
    Case "DataSet.Remove missing key": errSet.Remove "Z"
    Case "DataSet.Remove past the end": errSet.Remove 5
    Case "DataSet.Item missing key": r = errSet.Item("Z")
    Case "DataSet.Item past the end": r = errSet.Item(3)
    Case "MESDB = object without the members": Set errChk.MESDB = New Bare
    Case "LogTrace = object without the members": Set errChk.LogTrace = New Bare
    Case Else: Err.Raise 1, "suite", "no action for " & name
  End Select
End Sub

Sub CheckErrors()
  Set errChk = CreateObject("Velmora.Abnormals")
  Set errChk.MESDB = OpenHomeDatabase()
  Set errChk.LogTrace = New HostTrace
  errChk.LotID = "LOT-A01"
  errChk.StepID = "S-FQC-100"
  Check "LOT-A01 for the error rows", errChk.Execute & " " & errChk.Count, "ok 13"
  Set errSet = CreateObject("Velmora.DataSet")
  errSet.Add "A"
  errSet.Add "B"

  Dim rows, row, i, number, description, source
  rows = Array( _
    Array("Item past the end", 9, "Subscript out of range: position 14 of 13", "Velmora.Abnormals"), _
    Array("Item 0", 9, "Subscript out of range: position 0 of 13", "Velmora.Abnormals"), _
    Array("Item by a text key", 5, "Invalid procedure call or argument: no item with the key '1'", _
          "Velmora.Abnormals"), _
    Array("DataSet.Remove missing key", 5, _
          "Invalid procedure call or argument: no item with the key 'Z'", "Velmora.DataSet"), _
    Array("DataSet.Remove past the end", 9, "Subscript out of range: position 5 of 2", _
          "Velmora.DataSet"), _
    Array("DataSet.Item missing key", 5, _
          "Invalid procedure call or argument: no item with the key 'Z'", "Velmora.DataSet"), _
    Array("DataSet.Item past the end", 9, "Subscript out of range: position 3 of 2", _
          "Velmora.DataSet"), _
    Array("MESDB = object without the members", 13, _
          "Type mismatch: the MESDB object is not an MES database", "Velmora.Abnormals"), _
    Array("LogTrace = object without the members", 13, _
          "Type mismatch: the LogTrace object is not a trace", "Velmora.Abnormals"))
  For i = 0 To UBound(rows)
    row = rows(i)
    On Error Resume Next
    ErrorAction row(0)
    number = Err.Number: description = Err.Description: source = Err.Source
    On Error GoTo 0
    Check row(0) & ": Err.Number", number, row(1)
    Check row(0) & ": Err.Description", description, row(2)
    Check row(0) & ": Err.Source", source, row(3)
  Next

  ' A text argument declared by reference takes a VBScript variable too (script clients pass it as
  ' a reference to a variant), and the variable keeps its value.
  Dim text: text = "C"
  errSet.Add text
  Check "DataSet.Add with a variable", errSet.GetAllValue & " " & text, "A,B,C C"
  errSet.Remove "C"

  ' The refused objects left both slots as they were: the same run again.
  Check "slots kept: preExecute", errChk.preExecute, "ok"
  Check "slots kept: Execute", errChk.Execute & " " & errChk.Count, "ok 26"
  Check "slots kept: a second run's records follow the first's", errChk.Item(14).Reasons, _
        errChk.Item(1).Reasons
  ' Check objects share their MESDB and LogTrace slots while one lives; the rows below need none.
  Set errChk = Nothing
End Sub

' ---------------------------------------------------------------------------------------------
' The other objects, one behaviour a row

Sub AssignProperty(chk, rec, name, v)
  Select Case name
    Case "LotID": chk.LotID = v
    Case "StepID": chk.StepID = v
    Case "TimeVersionSysid": chk.TimeVersionSysid = v
    Case "DateTime": chk.DateTime = v
    Case "ItemName": rec.ItemName = v
    Case "CollectType": rec.CollectType = v
    Case "WaferID": rec.WaferID = v
    Case "WaferSEQ": rec.WaferSEQ = v
    Case "EQPID": rec.EQPID = v
    Case "TA": rec.TA = v
    Case "WaferYield": rec.WaferYield = v
    Case "LotYield": rec.LotYield = v
    Case "Reasons": rec.Reasons = v
  End Select
End Sub

Function ReadProperty(chk, rec, name)
  Select Case name
    Case "LotID": ReadProperty = chk.LotID
    Case "StepID": ReadProperty = chk.StepID
    Case "TimeVersionSysid": ReadProperty = chk.TimeVersionSysid
    Case "DateTime": ReadProperty = chk.DateTime
    Case "ItemName": ReadProperty = rec.ItemName
    Case "CollectType": ReadProperty = rec.CollectType
    Case "WaferID": ReadProperty = rec.WaferID
    Case "WaferSEQ": ReadProperty = rec.WaferSEQ
    Case "EQPID": ReadProperty = rec.EQPID
    Case "TA": ReadProperty = rec.TA
    Case "WaferYield": ReadProperty = rec.WaferYield
    Case "LotYield": ReadProperty = rec.LotYield
    Case "Reasons": ReadProperty = rec.Reasons
  End Select
End Function

Sub CheckObjects()
  Dim chk, v, pre, rec, ds, ini, tr, path, f, text

  ' A check object alone in the process: no records, every missing input listed.
  Set chk = CreateObject("Velmora.Abnormals.1")
  Check "fresh: Count", chk.Count, 0
  Check "fresh: Item(1) is Nothing", chk.Item(1) Is Nothing, True
  pre = chk.preExecute
  Check "fresh: preExecute names the Lot ID, Step ID and trace", _
        InStr(pre, "Lot ID") > 0 And InStr(pre, "Step ID") > 0 And InStr(pre, "Trace Object") > 0, True
  ' Every writable text property, assigned from a variable as clients write it, then read back.
  Set rec = CreateObject("Velmora.Abnormal")
  Dim name, number
  For Each name In Array("LotID", "StepID", "TimeVersionSysid", "DateTime", "ItemName", _
                         "CollectType", "WaferID", "WaferSEQ", "EQPID", "TA", "WaferYield", _
                         "LotYield", "Reasons")
    v = name & " value"
    On Error Resume Next
    AssignProperty chk, rec, name, v
    number = Err.Number
    On Error GoTo 0
    Check name & " = variable: Err.Number", number, 0
    Check name & " = variable: read back", ReadProperty(chk, rec, name), name & " value"
  Next

  ' DataSet: distinct texts without regard to case, the first spelling kept.
  Set ds = CreateObject("Velmora.DataSet")
  v = "b"
  ds.Add "A"
  ds.Add (v)
  ds.Add "a"
  Check "DataSet: Count", ds.Count, 2
  Check "DataSet: GetAllValue", ds.GetAllValue, "A,b"
  Check "DataSet: Item by key", ds.Item("B"), "b"
  ds.Remove 1
  Check "DataSet: Remove by position", ds.GetAllValue, "b"
  ds.Clear
  Check "DataSet: Clear", ds.Count, 0

  ' The configuration reader the server creates for each run.
  Set ini = CreateObject("Velmora.IniFile")
  Check "IniFile: PathHead is the home", ini.PathHead, home
  Check "IniFile: PathTail", ini.PathTail, ""
  ini.OpenFile home & "\INI\MESconfig.ini"
  Check "IniFile: ReadValue", ini.ReadValue("MSSQL", "InitDB"), "INSPECTION"
  Check "IniFile: a missing key", ini.ReadValue("MSSQL", "NoSuchKey"), ""

  ' The shipped trace appends lines at or below its level.
  path = fso.GetSpecialFolder(2) & "\velmora-trace-test.txt"
  If fso.FileExists(path) Then fso.DeleteFile path
  Set tr = CreateObject("Velmora.TraceLog")
  tr.Open path, 3
  Check "TraceLog: TraceLevel", tr.TraceLevel, 3
  tr.WriteTrace 3, "kept"
  tr.WriteTrace 4, "above the level"
  Set tr = Nothing
  Set f = fso.OpenTextFile(path, 1)
  text = Replace(f.ReadAll, vbCr, "")
  f.Close
  Check "TraceLog: one line", UBound(Split(text, vbLf)), 1
  Check "TraceLog: the entry after the timestamp", Mid(text, InStr(text, " ") + 1), "kept" & vbLf
End Sub

'  Every class by its ProgID and its versioned ProgID, with the type information of its interface.
Sub CheckProgIds()
  Dim name
  For Each name In Array("Abnormals", "Abnormal", "DataSet", "MesDatabase", "TraceLog", "IniFile")
    Check "Velmora." & name, TypeName(CreateObject("Velmora." & name)), "_" & name
    Check "Velmora." & name & ".1", TypeName(CreateObject("Velmora." & name & ".1")), "_" & name
  Next
End Sub

' ---------------------------------------------------------------------------------------------

Dim part, scenarios, outFolder
If WScript.Arguments.Count <> 3 Then
  WScript.Echo "usage: cscript velmora_com_test.vbs demo|odbc|installed LOTS_CSV OUT_FOLDER"
  WScript.Quit 2
End If
part = WScript.Arguments(0)
scenarios = ScenarioList(WScript.Arguments(1))
outFolder = WScript.Arguments(2)
Check "a home configured", home <> "", True

Select Case part
  Case "demo"
    RunShippedObjects "sqlite", scenarios, outFolder
    RunHostObjects scenarios
    CheckErrors
    CheckObjects
    CheckProgIds
  Case "odbc"
    RunShippedObjects "odbc", scenarios, outFolder
  Case "installed"
    CheckProgIds
    RunShippedObjects "sqlite", Array(scenarios(0)), outFolder
  Case Else
    Check "part", part, "demo, odbc or installed"
End Select

WScript.Echo "host objects raised " & hostRaised & " errors"
WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
