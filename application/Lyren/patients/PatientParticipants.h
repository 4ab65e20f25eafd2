#pragma once

class CLogicMain;
class CLogicPatient;

// Joins the hub's logic objects to the patient's steps, each in its place:
// adding a logic object that keeps a share of the patient is one more line
// here.
void JoinPatientParticipants(CLogicPatient &patient, CLogicMain &hub);
